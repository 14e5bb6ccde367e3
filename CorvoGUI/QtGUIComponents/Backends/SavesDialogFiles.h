#pragma once

#include <QString>

// The files of the load and save dialogs, as local paths. Any thread.
namespace nSavesDialogFiles
{

// The folder the dialogs open in: the user's documents folder where there is one, else the home
// folder.
QString StartFolder();

// The file the user of a dialog named, absolute and clean; empty when the user named none.
// typed is the text of the dialog's path field (empty for a dialog without one): it names the file
// unless it is empty or names a folder (the folder shown, which the field holds until the user types,
// or any other: ending in a separator, or one that exists). Otherwise picked, the dialog's own
// choice (a row picked in its list, or a platform dialog's file), names it. A relative path is taken
// within folder, the folder the dialog shows. A file to save whose name has no extension gets
// ".cfg", so that the load dialog's filter lists it.
QString ChosenFile(const QString& picked, const QString& typed, const QString& folder, bool save);

// The folder the typed text names, absolute and clean, when it names one that exists other than
// folder, the folder shown (which the field holds until the user types); empty otherwise. A relative
// path is taken within folder.
QString TypedFolder(const QString& typed, const QString& folder);

} // namespace nSavesDialogFiles
