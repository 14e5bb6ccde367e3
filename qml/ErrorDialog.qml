import QtQuick 2.12
import QtQuick.Dialogs 1.3

// The window's error dialog; the window loads it when it first tells an error.
MessageDialog {
    title: qsTr("Corvo GUI")
    icon: StandardIcon.Warning
    standardButtons: StandardButton.Ok
}
