import QtQuick 2.12
import QtQuick.Dialogs 1.3

// A dialog for a configuration file in the documents folder; the window loads one for saving and
// one for recalling when its button is first clicked, and sets its title and selectExisting.
FileDialog {
    nameFilters: [qsTr("Configuration files (*.cfg)")]
    folder: shortcuts.documents
}
