#pragma once

#include "CorvoGUI/Core/Saves/SavesFailure.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Reading a saves file whole, without trusting what the path names.
namespace nSavesFileInput
{

// Reads the whole file at path into bytes; SAVES_FAILURE_NONE when it did. Refused before anything
// is read (reported, SAVES_FAILURE_NOT_A_SAVES_FILE): a path that does not name a regular file (a
// FIFO, a device, a folder, a socket), checked before it is opened and again on the opened file, and
// a file larger than maxSize. A file that cannot be opened or read reports "Failed to open Save
// Stream!" with the reason, and gives SAVES_FAILURE_NOT_FOUND when nothing is at the path, else
// SAVES_FAILURE_NOT_READ. Never blocks on what the path names. Any thread.
eSavesFailure ReadRegularFile(const QString& path, qint64 maxSize, QByteArray& bytes);

} // namespace nSavesFileInput
