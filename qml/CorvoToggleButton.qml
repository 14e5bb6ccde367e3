import QtQuick 2.12

// An on/off button bound to a boolean switch driver; a click flips the driver's value. With
// invert set it shows "on" while the driver's value is false (in/out buttons on bypass switches).
Image {
    id: toggle

    property string textOn: ""
    property string textOff: ""
    property QtObject driver: null
    property bool invert: false
    readonly property bool buttonOn: driver !== null && (invert ? !driver.value : driver.value)

    source: buttonOn ? "qrc:/ToggleOn.svg" : "qrc:/ToggleOff.svg"
    sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
    fillMode: Image.Stretch

    Text {
        anchors.centerIn: parent
        width: parent.width * 48 / 64
        height: parent.height * 25 / 56
        text: toggle.buttonOn ? toggle.textOn : toggle.textOff
        color: toggle.buttonOn ? "#39b54a" : "white"
        font.family: Styles.fonts.family
        font.bold: true
        font.pointSize: 60
        fontSizeMode: Text.Fit
        minimumPointSize: 2
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    MouseArea {
        anchors.fill: parent
        onClicked: {
            toggle.forceActiveFocus()
            if (toggle.driver !== null) {
                toggle.driver.setValue(!toggle.driver.value)
            }
        }
    }
}
