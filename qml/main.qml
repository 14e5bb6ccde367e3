import QtQuick 2.12
import QtQuick.Window 2.12

// The program's window: the tab bar with the "Faders", "Low", "Mid" and "High" panels, the recall,
// save and connect buttons, the connection status, the port chooser, the error dialog, the file
// dialogs and the overlay that dims the window while a dialog is open or the device syncs.
Window {
    id: mainWindow

    visible: true
    width: 1280
    height: 720
    minimumWidth: 640
    minimumHeight: 480
    color: Styles.colorBG
    title: qsTr("Corvo GUI - ") + _App.versionAndRevisionString

    // The widgets' scale follows the main area they sit in: the window's width up to 2:1, beyond it
    // twice the window's height.
    readonly property real globalScale: mainArea.width / 1024
    readonly property int dividerWidth: Math.floor(5 * globalScale)
    readonly property int toggleButtonWidth: Math.floor(64 * 0.55 * globalScale)
    readonly property int toggleButtonHeight: Math.floor(56 * 0.55 * globalScale)
    readonly property int valueWidgetWidth: Math.floor(65 * globalScale)
    readonly property int valueWidgetHeight: Math.floor(24 * globalScale)
    readonly property int valueWidgetBGWidth: Math.floor(75 * globalScale)
    readonly property int valueWidgetBGHeight: Math.floor(37 * globalScale)
    readonly property int controlButtonHeight: 40

    readonly property QtObject serial: _App.backendSerialConnection
    readonly property QtObject saves: _App.backendSavesDialog
    // The link's state as a number (the back end hands QML the enumeration wrapped).
    readonly property int linkState: +serial.state
    readonly property int currentTab: tabBar.currentIndex
    readonly property bool overlayShown: overlay.visible
    property int previousState: 0

    function mainWindowWidth() {
        return mainArea.width
    }

    function mainWindowHeight() {
        return mainArea.height
    }

    function mapToMainWindow(item, x, y) {
        return item.mapToItem(mainArea, x, y)
    }

    function setOverlay(enable) {
        overlay.visible = enable
    }

    // The main area keeps an aspect ratio between 2:1 and 4:3 at the window's top-left corner.
    function updateAspect() {
        if (width <= 0 || height <= 0) {
            return
        }
        var ratio = height / width
        if (ratio > 480 / 640) {
            mainArea.width = width
            mainArea.height = 480 * width / 640
        } else if (ratio < 0.5) {
            mainArea.width = 2 * height
            mainArea.height = height
        } else {
            mainArea.width = width
            mainArea.height = height
        }
    }

    // The status line's text and colour for a connection state.
    function statusFor(connect, portCount, state, version) {
        if (!connect && portCount === 0) {
            return { text: qsTr("Status: No devices detected"), colour: "red" }
        }
        switch (state) {
        case 0:
            return connect ? { text: qsTr("Status: Attempting to connect"), colour: "orange" }
                           : { text: qsTr("Status: Device Detected"), colour: "orange" }
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
        case 6:
            return { text: qsTr("Status: Disconnecting"), colour: "orange" }
        }
        // Any other state empties the text and keeps its colour.
        return { text: "", colour: statusText.color }
    }

    function errorText(whichError) {
        switch (whichError) {
        case 1:
            return qsTr("Device already in use.\nClose all other apps connected to your Corvo device.")
        case 2:
            return qsTr("Device connection failure.\nEnsure your cable is securely fitted.")
        case 3:
            return qsTr("Timeout occured. Please try again.")
        }
        return ""
    }

    // A dialog's loader made active: the dialogs and the port chooser are made on first use.
    function dialog(loader) {
        loader.active = true
        return loader.item
    }

    function showError(text) {
        mainWindow.dialog(errorDialogLoader).tell(text)
    }

    // The names of the files the window's dialogs asked to save and recall (null when none is
    // asked): the window tells the end of its own requests, with the file's name.
    property var askedSave: null
    property var askedRecall: null

    function fileName(url) {
        var path = url.toString()
        return decodeURIComponent(path.substring(path.lastIndexOf("/") + 1))
    }

    function saveTo(url) {
        askedSave = fileName(url)
        saves.saveConfig(url)
    }

    function recallFrom(url) {
        askedRecall = fileName(url)
        saves.recallConfig(url)
    }

    // The recall of the file the dialog names; a folder typed into its path field names none, and
    // is told as such without asking for a recall.
    function recallChosen(dialog) {
        var file = dialog.chosenFile()
        var folder = dialog.typedFolder()
        if (file.toString() === "" && folder.toString() !== "") {
            showError(qsTr("%1 could not be recalled.\nIt is a folder, not a configuration file.").arg(fileName(folder) || "/"))
            return
        }
        recallFrom(file)
    }

    // Why a save or recall failed, in words (the saves back end's failures: 1 not written, 2 no file
    // there, 3 not read, 4 not a saves file or damaged, 5 no file named).
    function savesFailureText(save, failure, name) {
        if (failure === 5) {
            return save ? qsTr("Nothing was saved.\nNo file was named.")
                        : qsTr("Nothing was recalled.\nNo file was chosen.")
        }
        if (save) {
            return qsTr("%1 could not be saved.\nThe file could not be written.").arg(name)
        }
        switch (failure) {
        case 2:
            return qsTr("%1 could not be recalled.\nThe file does not exist.").arg(name)
        case 4:
            return qsTr("%1 could not be recalled.\nIt is not a configuration file of this program, or it is damaged.").arg(name)
        }
        return qsTr("%1 could not be recalled.\nThe file could not be read.").arg(name)
    }

    // The end of a save or recall the window asked for: a short notice when it worked, else the error
    // dialog with the reason.
    function tellSavesResult(save, success, failure) {
        var name = save ? askedSave : askedRecall
        if (name === null) {
            return
        }
        if (save) {
            askedSave = null
        } else {
            askedRecall = null
        }
        if (success) {
            mainWindow.dialog(noticeLoader).show(save ? qsTr("Saved %1").arg(name) : qsTr("Recalled %1").arg(name))
        } else {
            showError(savesFailureText(save, failure, name))
        }
    }

    // The tabs' panels that are not shown at the start are made after the first frame, without
    // blocking; a panel shown before it is made is finished at once.
    property bool makeHiddenPanels: false
    // Every tab's panel is made: a panel is in the window while it is being made, and complete only
    // then.
    readonly property bool panelsMade: lowPanelLoader.status === Loader.Ready
                                       && midPanelLoader.status === Loader.Ready
                                       && highPanelLoader.status === Loader.Ready

    Connections {
        target: mainWindow
        enabled: !mainWindow.makeHiddenPanels
        function onFrameSwapped() {
            mainWindow.makeHiddenPanels = true
        }
    }

    // A click disconnects while a connection is wanted or under way, in whatever state the link is
    // (the button then shows the plug plugged in), and otherwise connects (the plug pulled out).
    function connectClicked() {
        if (!connectButton.clickDisconnects) {
            if (serial.portNames.length === 1) {
                serial.connectToUnit()
            } else if (serial.portNames.length > 1) {
                mainWindow.dialog(portChooserLoader).open()
            }
        } else {
            serial.disconnectFromUnit()
        }
    }

    onWidthChanged: updateAspect()
    onHeightChanged: updateAspect()
    Component.onCompleted: updateAspect()

    // The sync after connecting starts once, on entering "syncing", and ends when the saves
    // manager has answered it.
    Connections {
        target: mainWindow.serial
        function onStateChanged() {
            var state = +mainWindow.serial.state
            if (state === 4 && mainWindow.previousState !== 4) {
                mainWindow.setOverlay(true)
                mainWindow.saves.syncDevice()
            }
            mainWindow.previousState = state
        }
        function onErrorEvent(whichError) {
            var text = mainWindow.errorText(whichError)
            if (text !== "") {
                mainWindow.showError(text)
            }
        }
    }

    Connections {
        target: mainWindow.saves
        function onOperationSuccessChanged() {
            if (+mainWindow.serial.state === 4) {
                mainWindow.serial.setSyncDone()
                mainWindow.setOverlay(false)
            }
        }
        function onSaveFinished(success, failure) {
            mainWindow.tellSavesResult(true, success, failure)
        }
        function onRecallFinished(success, failure) {
            mainWindow.tellSavesResult(false, success, failure)
        }
    }

    Item {
        id: mainArea
        objectName: "mainArea"
        x: 0
        y: 0
        // The window's size until updateAspect first sets the area's (at the window's usual shape the
        // same): the items are made at their size, and each image is drawn once.
        width: mainWindow.width
        height: mainWindow.height
        readonly property real t: width / 1024

        Rectangle {
            id: tabBar
            objectName: "tabBar"
            property int currentIndex: 0
            x: 2 * Styles.margin
            y: 0
            width: 600 * mainArea.t
            height: 60 * mainArea.t
            color: Styles.colorBG

            Row {
                anchors.bottom: parent.bottom

                Repeater {
                    model: [qsTr("Faders"), qsTr("Low"), qsTr("Mid"), qsTr("High")]

                    Rectangle {
                        objectName: "tab" + index
                        readonly property bool current: tabBar.currentIndex === index
                        width: tabBar.width / 4
                        height: 40 * mainArea.t
                        color: current ? Styles.colorBG : Styles.colorFG
                        border.color: current ? "white" : Styles.colorBG
                        border.width: 1
                        opacity: enabled ? 1.0 : 0.3

                        Text {
                            anchors.centerIn: parent
                            text: modelData
                            color: Styles.fonts.colorText
                            font.family: Styles.fonts.family
                            font.bold: true
                            font.pixelSize: Math.max(1, 14 * mainArea.t)
                        }

                        MouseArea {
                            anchors.fill: parent
                            onClicked: {
                                panelArea.forceActiveFocus()
                                tabBar.currentIndex = index
                            }
                        }
                    }
                }
            }
        }

        Row {
            id: controlButtons
            anchors.right: parent.right
            anchors.rightMargin: Styles.margin
            anchors.verticalCenter: tabBar.verticalCenter
            layoutDirection: Qt.RightToLeft
            spacing: Styles.margin * mainArea.t

            Image {
                id: recallButton
                objectName: "recallButton"
                height: 40 * mainArea.t
                width: height * 64 / 56
                source: "qrc:/LoadConfig.svg"
                sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
                MouseArea {
                    anchors.fill: parent
                    onClicked: mainWindow.dialog(recallDialogLoader).openOver()
                }
            }

            Image {
                id: saveButton
                objectName: "saveButton"
                height: 40 * mainArea.t
                width: height * 64 / 56
                source: "qrc:/SaveConfig.svg"
                sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
                MouseArea {
                    anchors.fill: parent
                    onClicked: mainWindow.dialog(saveDialogLoader).openOver()
                }
            }

            Image {
                id: connectButton
                objectName: "connectButton"
                // What a click does, and so what the image shows.
                readonly property bool clickDisconnects: mainWindow.serial.connect
                height: 40 * mainArea.t
                width: height * 64 / 56
                source: clickDisconnects ? "qrc:/Connected.svg" : "qrc:/Connect.svg"
                sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
                MouseArea {
                    anchors.fill: parent
                    onClicked: mainWindow.connectClicked()
                }
            }
        }

        Text {
            id: statusText
            objectName: "statusText"
            readonly property var status: mainWindow.statusFor(mainWindow.serial.connect,
                                                               mainWindow.serial.portNames.length,
                                                               mainWindow.linkState,
                                                               mainWindow.serial.version)
            anchors.right: controlButtons.left
            anchors.rightMargin: 20 * mainArea.t
            anchors.verticalCenter: tabBar.verticalCenter
            width: 120 * mainArea.t
            height: 20 * mainArea.t
            text: status.text
            color: status.colour
            font.family: "Spartan"
            font.bold: true
            font.pixelSize: Math.max(1, 8 * mainArea.t)
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }

        Rectangle {
            id: panelArea
            objectName: "panelArea"
            x: Styles.margin
            y: tabBar.height
            width: mainArea.width - 2 * Styles.margin
            height: mainArea.height - tabBar.height - Styles.margin
            color: Styles.colorFG
            radius: Styles.radius

            // A click on free space ends any text entry.
            MouseArea {
                anchors.fill: parent
                onPressed: panelArea.forceActiveFocus()
            }

            InOutFaderPanel {
                id: faderPanel
                objectName: "fadersPanel"
                // Sized by bindings rather than anchors, which apply only once the panel is complete:
                // its images are then drawn once, at their size.
                width: parent.width
                height: parent.height
                visible: tabBar.currentIndex === 0
                panelBackend: _App.backendInOutFader
            }

            Loader {
                id: lowPanelLoader
                anchors.fill: parent
                active: mainWindow.makeHiddenPanels || tabBar.currentIndex === 1
                asynchronous: tabBar.currentIndex !== 1
                sourceComponent: LowMidHighPanel {
                    objectName: "lowPanel"
                    visible: tabBar.currentIndex === 1
                    panelBackend: _App.backendLow
                    blockWidth: faderPanel.blockWidth
                    blockHeight: faderPanel.blockHeight
                }
            }

            Loader {
                id: midPanelLoader
                anchors.fill: parent
                active: mainWindow.makeHiddenPanels || tabBar.currentIndex === 2
                asynchronous: tabBar.currentIndex !== 2
                sourceComponent: LowMidHighPanel {
                    objectName: "midPanel"
                    visible: tabBar.currentIndex === 2
                    panelBackend: _App.backendMid
                    blockWidth: faderPanel.blockWidth
                    blockHeight: faderPanel.blockHeight
                }
            }

            Loader {
                id: highPanelLoader
                anchors.fill: parent
                active: mainWindow.makeHiddenPanels || tabBar.currentIndex === 3
                asynchronous: tabBar.currentIndex !== 3
                sourceComponent: LowMidHighPanel {
                    objectName: "highPanel"
                    visible: tabBar.currentIndex === 3
                    panelBackend: _App.backendHigh
                    blockWidth: faderPanel.blockWidth
                    blockHeight: faderPanel.blockHeight
                    showSetupLPF: false
                    showSlopeHPF: true
                }
            }
        }

        Rectangle {
            id: overlay
            objectName: "overlay"
            anchors.fill: parent
            color: "black"
            opacity: 0.5
            visible: false

            // Nor a key: shown, the overlay takes the focus (an entry under it ends unsent) and every
            // key, so that Tab moves into no value box under it.
            onVisibleChanged: {
                if (visible) {
                    forceActiveFocus()
                } else {
                    focus = false
                }
            }
            Keys.onPressed: event.accepted = true

            // Nothing under the overlay takes a click.
            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
            }
        }
    }

    // The port chooser, from a file of its own, is made when it is first needed.
    Loader {
        id: portChooserLoader
        active: false
        source: "qrc:/PortChooser.qml"
        onLoaded: {
            item.objectName = "portChooser"
            item.serial = Qt.binding(function() { return mainWindow.serial })
            item.globalScale = Qt.binding(function() { return mainWindow.globalScale })
        }
    }

    // The notice that a save or recall worked, made when it is first needed.
    Loader {
        id: noticeLoader
        anchors.centerIn: mainArea
        active: false
        source: "qrc:/SavesNotice.qml"
        onLoaded: {
            item.objectName = "savesNotice"
            item.globalScale = Qt.binding(function() { return mainWindow.globalScale })
            item.maximumWidth = Qt.binding(function() { return mainArea.width - 2 * Styles.margin })
        }
    }

    // The dialogs, from files of their own: the dialogs module with its fallback dialogs is loaded
    // only with the first of them. Each opens centred over the window.
    Loader {
        id: errorDialogLoader
        active: false
        source: "qrc:/ErrorDialog.qml"
        onLoaded: {
            item.objectName = "errorDialog"
            item.over = mainWindow
            item.app = _App
        }
    }

    Loader {
        id: saveDialogLoader
        active: false
        source: "qrc:/ConfigFileDialog.qml"
        onLoaded: {
            item.objectName = "saveDialog"
            item.title = qsTr("Select name for config save")
            item.selectExisting = false
            item.saves = mainWindow.saves
            item.folder = mainWindow.saves.startFolder()
            item.over = mainWindow
            item.app = _App
        }
    }

    Loader {
        id: recallDialogLoader
        active: false
        source: "qrc:/ConfigFileDialog.qml"
        onLoaded: {
            item.objectName = "recallDialog"
            item.title = qsTr("Select config file to restore")
            item.selectExisting = true
            item.saves = mainWindow.saves
            item.folder = mainWindow.saves.startFolder()
            item.over = mainWindow
            item.app = _App
        }
    }

    // A dialog's visible property tells its changes by visibilityChanged.
    Connections {
        target: saveDialogLoader.item
        function onVisibilityChanged() {
            mainWindow.saves.setButtonSave(saveDialogLoader.item.visible)
            mainWindow.setOverlay(saveDialogLoader.item.visible)
        }
        function onAccepted() {
            mainWindow.saveTo(saveDialogLoader.item.chosenFile())
        }
    }

    Connections {
        target: recallDialogLoader.item
        function onVisibilityChanged() {
            mainWindow.saves.setButtonSave(recallDialogLoader.item.visible)
            mainWindow.setOverlay(recallDialogLoader.item.visible)
        }
        function onAccepted() {
            mainWindow.recallChosen(recallDialogLoader.item)
        }
    }
}
