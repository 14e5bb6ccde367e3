import QtQuick 2.12
import QtQuick.Dialogs 1.3

// The window's error dialog; the window loads it when it first tells an error, and hands it itself
// as the window to open over.
MessageDialog {
    id: errorDialog

    // The window the dialog opens centred over.
    property QtObject over: null

    title: qsTr("Corvo GUI")
    icon: StandardIcon.Warning
    standardButtons: StandardButton.Ok

    // Shows the text, centred over the window (again when a new text has changed the dialog's size).
    function tell(message) {
        text = message
        open()
        // Placed once it is shown: until the dialog has its window, a position would move its
        // content within it.
        if (over !== null) {
            x = (isWindow ? over.x : 0) + Math.round((over.width - width) / 2)
            y = (isWindow ? over.y : 0) + Math.round((over.height - height) / 2)
        }
    }
}
