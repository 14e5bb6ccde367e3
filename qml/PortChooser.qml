import QtQuick 2.12
import QtQuick.Controls 2.12

// The window's chooser among several serial ports, one button per port name of the serial
// connection back end; the window loads it when it is first needed. A button connects to its port
// and closes the chooser.
Popup {
    id: chooser

    property QtObject serial: null
    property real globalScale: 1

    parent: Overlay.overlay
    anchors.centerIn: parent
    modal: true
    // Open, it has the keys: Tab goes round inside it, not to the value boxes under it.
    focus: true
    dim: true
    closePolicy: Popup.CloseOnEscape
    padding: 40 * globalScale

    background: Rectangle {
        color: Styles.colorBG
        radius: 6 * chooser.globalScale
    }

    contentItem: Column {
        spacing: 20 * chooser.globalScale

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Multiple serial connections found\nSelect device to connect...")
            color: "white"
            font.family: "Spartan"
            font.bold: true
            font.pixelSize: Math.max(1, 12 * chooser.globalScale)
            horizontalAlignment: Text.AlignHCenter
        }

        Repeater {
            model: chooser.serial !== null ? chooser.serial.portNames : []

            CorvoButton {
                objectName: "portButton" + index
                anchors.horizontalCenter: parent.horizontalCenter
                width: 150 * chooser.globalScale
                height: 30 * chooser.globalScale
                text: modelData
                onClicked: {
                    chooser.serial.connectToNamedUnit(modelData)
                    chooser.close()
                }
            }
        }
    }
}
