import QtQuick 2.12
import QtQuick.Dialogs 1.3

// A dialog for a configuration file; the window loads one for saving and one for recalling when its
// button is first clicked, sets its title and selectExisting, and hands it the saves back end, the
// folder to open in, itself as the window to open over and the root back end.
FileDialog {
    id: configFileDialog

    // The saves dialog back end, which tells the file the user named.
    property QtObject saves: null
    // The window the dialog opens over: centred on it, at a size relative to it.
    property QtObject over: null
    // The root back end, which tells where a dialog goes.
    property QtObject app: null

    nameFilters: [qsTr("Configuration files (*.cfg)")]
    defaultSuffix: "cfg"

    // Opens centred over the window, at a size relative to it (Qt's own dialog would take the size it
    // last had), with room for the file list's rows and the whole filter, within the screen's
    // available area.
    function openOver() {
        if (over !== null) {
            openingWidth = Math.min(over.width, Math.max(480, Math.round(over.width * 0.6)))
            width = openingWidth
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
        place()
        fitColumns()
    }

    // Centred over the window, within the screen's available area.
    function place() {
        if (over === null || app === null) {
            return
        }
        var spot = app.dialogPlace(over, width, height, isWindow)
        width = spot.width
        height = spot.height
        x = spot.x
        y = spot.y
    }

    // Qt's own dialog lists each file's name, type, size, modified and accessed time, sizing the
    // columns to the rows but not to their titles, so that titles are cut and the last columns lie
    // beyond the list's edge. The list shows the name, size and modified time: the type (the filter's
    // own) and the accessed time are hidden; size and modified time are as wide as their widest row
    // and their title, and the name takes the rest. Where the names need more, the dialog widens, up
    // to the window's width (or its own, when larger) within the screen; longer names are cut at
    // their end. Again whenever the rows or the list's width change.
    property Item fileList: null
    property int openingWidth: 0
    property TextMetrics titleMetrics: TextMetrics {}
    function fitColumns() {
        if (fileList === null) {
            fileList = findItem(configFileDialog.contentItem, function(item) {
                return typeof item.getColumn === "function" && item.rowCount !== undefined
                       && item.viewport !== undefined && item.flickableItem !== undefined
            })
            if (fileList === null) {
                return
            }
            fileList.getColumn(1).visible = false
            fileList.getColumn(4).visible = false
            fileList.rowCountChanged.connect(refit)
            fileList.flickableItem.contentItem.childrenChanged.connect(refit)
            fileList.viewport.widthChanged.connect(refit)
        }
        fitRows()
    }

    // Once for every change that comes in the same turn of the event loop.
    function refit() {
        Qt.callLater(fitRows)
    }

    // The list's rows go after the dialog's functions.
    Component.onDestruction: {
        if (fileList !== null) {
            fileList.rowCountChanged.disconnect(refit)
            fileList.flickableItem.contentItem.childrenChanged.disconnect(refit)
            fileList.viewport.widthChanged.disconnect(refit)
        }
    }

    function titleWidth(column) {
        titleMetrics.text = column.title
        // The header's margins (12 before a title aligned left, 8 after one aligned right), and room
        // for rounding.
        return Math.ceil(titleMetrics.advanceWidth) + 16
    }

    // A column's width follows its rows only where it has rows in sight; the width is whole pixels,
    // the rows' widths not (a pixel more keeps them whole).
    function fitToRows(column) {
        column.width = titleWidth(column)
        column.resizeToContents()
        column.width = Math.max(column.width + 1, titleWidth(column))
    }

    function fitRows() {
        if (fileList === null || !visible) {
            return
        }
        var names = fileList.getColumn(0)
        var sizes = fileList.getColumn(2)
        var times = fileList.getColumn(3)
        fitToRows(sizes)
        fitToRows(times)
        fitToRows(names)
        var room = Math.floor(fileList.viewport.width) - sizes.width - times.width
        var widest = over !== null ? Math.max(over.width, openingWidth) : width
        if (names.width > room && width < widest) {
            width = Math.min(widest, width + names.width - room)
            place()
            room = Math.floor(fileList.viewport.width) - sizes.width - times.width
        }
        names.width = Math.max(titleWidth(names), room)
    }

    // The file the user named (typed into the path field or picked), as a URL; empty when none.
    function chosenFile() {
        return saves.chosenFile(fileUrl, typedPath(), folder, !selectExisting)
    }

    // The folder other than the one shown that the path field names, as a URL; empty when none.
    function typedFolder() {
        return saves.typedFolder(typedPath(), folder)
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
