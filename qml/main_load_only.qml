import QtQuick 2.12
import QtQuick.Window 2.12
import QtQuick.Dialogs 1.3

// A small window that only connects to the device and recalls a configuration file into it.
Window {
    id: loaderWindow

    visible: true
    width: 420
    height: 240
    minimumWidth: 300
    maximumWidth: 420
    minimumHeight: 240
    maximumHeight: 300
    color: Styles.colorBG
    title: qsTr("Corvo Loader - ") + _App.versionAndRevisionString

    readonly property QtObject serial: _App.backendSerialConnection
    readonly property QtObject saves: _App.backendSavesDialog
    // The link's state as a number (the back end hands QML the enumeration wrapped).
    readonly property int linkState: +serial.state
    property string message: ""
    property string recalledFile: ""
    property int previousState: 0

    onWidthChanged: _App.setWindowWScale(width / 420)
    onHeightChanged: _App.setWindowHScale(height / 240)

    function statusFor(connect, portCount, state, version) {
        if (!connect && portCount === 0) {
            return { text: qsTr("Status: No devices detected"), colour: "red" }
        }
        switch (state) {
        case 0:
            return connect ? { text: qsTr("Status: Attempting to connect"), colour: "orange" }
                           : { text: qsTr("Status: Not connected"), colour: "orange" }
        case 1:
            return { text: qsTr("Status: Port Open"), colour: "#39b54a" }
        case 2:
            return { text: qsTr("Status: Connected, ") + version, colour: "#39b54a" }
        case 3:
            return { text: qsTr("Status: Getting Sync"), colour: "orange" }
        case 4:
            return { text: qsTr("Status: Syncing"), colour: "orange" }
        case 5:
            return { text: qsTr("Status: No Reply"), colour: "red" }
        }
        return { text: "", colour: "white" }
    }

    Connections {
        target: loaderWindow.serial
        function onStateChanged() {
            var state = +loaderWindow.serial.state
            if (state === 4 && loaderWindow.previousState !== 4) {
                loaderWindow.saves.syncDevice()
            }
            loaderWindow.previousState = state
        }
    }

    Connections {
        target: loaderWindow.saves
        function onOperationSuccessChanged() {
            if (+loaderWindow.serial.state === 4) {
                loaderWindow.serial.setSyncDone()
            } else if (loaderWindow.recalledFile !== "") {
                loaderWindow.message = qsTr("Recall ") + loaderWindow.recalledFile
                        + (loaderWindow.saves.operationSuccess ? qsTr(" Successful") : qsTr(" Failed"))
                loaderWindow.recalledFile = ""
            }
        }
    }

    Image {
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        anchors.leftMargin: Styles.margin
        width: Math.min(256, parent.height - 2 * Styles.margin)
        height: width
        source: "qrc:/CorvoLogo.png"
        smooth: true
    }

    Column {
        anchors.right: parent.right
        anchors.rightMargin: Styles.margin
        anchors.verticalCenter: parent.verticalCenter
        spacing: Styles.spacing

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Styles.spacing

            Image {
                id: connectButton
                objectName: "connectButton"
                // What a click does, and so what the image shows: it disconnects while a connection
                // is wanted or under way, in whatever state the link is, and otherwise connects.
                readonly property bool clickDisconnects: loaderWindow.serial.connect
                height: 40
                width: height * 64 / 56
                source: clickDisconnects ? "qrc:/Connected.svg" : "qrc:/Connect.svg"
                sourceSize: Qt.size(width, height)
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        if (!connectButton.clickDisconnects) {
                            loaderWindow.serial.connectToUnit()
                        } else {
                            loaderWindow.serial.disconnectFromUnit()
                        }
                    }
                }
            }

            Image {
                objectName: "recallButton"
                visible: loaderWindow.linkState === 2
                height: 40
                width: height * 64 / 56
                source: "qrc:/LoadConfig.svg"
                sourceSize: Qt.size(width, height)
                MouseArea {
                    anchors.fill: parent
                    onClicked: recallDialog.open()
                }
            }
        }

        Text {
            objectName: "statusText"
            readonly property var status: loaderWindow.statusFor(loaderWindow.serial.connect,
                                                                 loaderWindow.serial.portNames.length,
                                                                 loaderWindow.linkState,
                                                                 loaderWindow.serial.version)
            anchors.horizontalCenter: parent.horizontalCenter
            text: status.text
            color: status.colour
            font.family: "Spartan"
            font.bold: true
            font.pixelSize: 12
        }

        Text {
            objectName: "messageText"
            anchors.horizontalCenter: parent.horizontalCenter
            text: loaderWindow.message
            color: "white"
            font.family: "Spartan"
            font.bold: true
            font.pixelSize: 12
        }
    }

    FileDialog {
        id: recallDialog
        objectName: "recallDialog"
        title: qsTr("Select config file to restore")
        nameFilters: [qsTr("Configuration files (*.cfg)")]
        folder: shortcuts.documents
        selectExisting: true
        onAccepted: {
            var path = fileUrl.toString()
            loaderWindow.recalledFile = path.substring(path.lastIndexOf("/") + 1)
            loaderWindow.saves.recallConfig(fileUrl)
        }
    }
}
