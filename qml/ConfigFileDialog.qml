import QtQuick 2.12
import QtQuick.Dialogs 1.3

// A dialog for a configuration file; the window loads one for saving and one for recalling when its
// button is first clicked, sets its title and selectExisting, and hands it the saves back end, the
// folder to open in and itself as the window to open over.
FileDialog {
    id: configFileDialog

    // The saves dialog back end, which tells the file the user named.
    property QtObject saves: null
    // The window the dialog opens over: centred on it, at a size relative to it.
    property QtObject over: null

    nameFilters: [qsTr("Configuration files (*.cfg)")]
    defaultSuffix: "cfg"

    // Opens centred over the window, at a size relative to it (Qt's own dialog would take the size it
    // last had), with room for the file list's rows and the whole filter.
    function openOver() {
        if (over !== null) {
            width = Math.min(over.width, Math.max(480, Math.round(over.width * 0.6)))
            height = Math.min(over.height, Math.max(360, Math.round(over.height * 0.7)))
        }
        // Qt's own dialog keeps what was typed into its path field last time; it opens showing the
        // folder, as its field does until the user types.
        var field = pathField()
        if (field !== null) {
            field.text = urlToPath(folder)
        }
        open()
        // Placed once it is shown: until the dialog has its window, a position would move its
        // content within it.
        if (over !== null) {
            x = (isWindow ? over.x : 0) + Math.round((over.width - width) / 2)
            y = (isWindow ? over.y : 0) + Math.round((over.height - height) / 2)
        }
        widenNames()
    }

    // Qt's own dialog sizes its list's name column to the first row it lists, which cuts longer
    // names: the column is given at least half the list's width, again whenever the rows change.
    property bool namesWidened: false
    function widenNames() {
        if (namesWidened) {
            return
        }
        var list = findItem(configFileDialog.contentItem, function(item) {
            return typeof item.getColumn === "function" && item.rowCount !== undefined
        })
        if (list === null) {
            return
        }
        namesWidened = true
        var widen = function() {
            var names = list.getColumn(0)
            if (names !== null) {
                names.width = Math.max(names.width, Math.round(list.width / 2))
            }
        }
        list.rowCountChanged.connect(widen)
        widen()
    }

    // The file the user named (typed into the path field or picked), as a URL; empty when none.
    function chosenFile() {
        return saves.chosenFile(fileUrl, typedPath(), folder, !selectExisting)
    }

    // The text of the path field of Qt's own dialog, whose Open button takes only a picked row; a
    // platform dialog has no such field and names its file itself.
    function typedPath() {
        var field = pathField()
        return field !== null ? field.text : ""
    }

    function pathField() {
        return findItem(configFileDialog.contentItem, function(item) {
            return item.placeholderText !== undefined && item.text !== undefined
        })
    }

    // The first item at or below item that is what is sought; null when none is.
    function findItem(item, sought) {
        if (item === undefined || item === null) {
            return null
        }
        if (sought(item)) {
            return item
        }
        for (var i = 0; i < item.children.length; ++i) {
            var found = findItem(item.children[i], sought)
            if (found !== null) {
                return found
            }
        }
        return null
    }
}
