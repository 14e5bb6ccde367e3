import QtQuick 2.12
import QtQuick.Dialogs 1.3

// The window's error dialog; the window loads it when it first tells an error, and hands it itself
// as the window to open over and the root back end, which tells where a dialog goes.
MessageDialog {
    id: errorDialog

    // The window the dialog opens centred over.
    property QtObject over: null
    property QtObject app: null

    title: qsTr("Corvo GUI")
    icon: StandardIcon.Warning
    standardButtons: StandardButton.Ok

    // Shows the text, centred over the window.
    function tell(message) {
        text = message
        open()
        wrapAnywhere()
        centre()
    }

    // Placed once it is shown (until the dialog has its window, a position would move its content
    // within it), and again whenever its size follows its text: centred over the window, within the
    // screen's available area, and no wider than it, the text wrapping within.
    function centre() {
        if (over === null || app === null || !visible) {
            return
        }
        var place = app.dialogPlace(over, width, height, isWindow)
        // Only a change is set: a geometry set tells the geometry's change again.
        if (width !== place.width) {
            width = place.width
        }
        if (x !== place.x) {
            x = place.x
        }
        if (y !== place.y) {
            y = place.y
        }
    }

    // Qt's own dialog wraps its texts at word boundaries only: a long file name without spaces would
    // run past the dialog's edge. Its texts wrap anywhere a word does not fit.
    property bool wrapsAnywhere: false
    function wrapAnywhere() {
        if (wrapsAnywhere) {
            return
        }
        wrapsAnywhere = true
        wrapTexts(contentItem)
    }

    function wrapTexts(item) {
        if (item === undefined || item === null) {
            return
        }
        if (item.wrapMode === Text.WordWrap && item.lineCount !== undefined) {
            item.wrapMode = Text.Wrap
        }
        for (var i = 0; i < item.children.length; ++i) {
            wrapTexts(item.children[i])
        }
    }

    onGeometryChanged: centre()
}
