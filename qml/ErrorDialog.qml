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

    // Shows the text, centred over the window.
    function tell(message) {
        text = message
        open()
        centre()
    }

    // Placed once it is shown (until the dialog has its window, a position would move its content
    // within it), and again whenever its size follows its text.
    function centre() {
        if (over === null || !visible) {
            return
        }
        var left = (isWindow ? over.x : 0) + Math.round((over.width - width) / 2)
        var top = (isWindow ? over.y : 0) + Math.round((over.height - height) / 2)
        // Only a change is set: a position set tells the geometry's change again.
        if (x !== left) {
            x = left
        }
        if (y !== top) {
            y = top
        }
    }

    onGeometryChanged: centre()
}
