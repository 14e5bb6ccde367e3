#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Why a save or a recall failed. The saves manager answers a failed save or recall with two bytes:
// the result 0, then one of these; a success is the one byte 1, as before. The window turns the
// reason into words for the user.
enum eSavesFailure : UBYTE
{
    SAVES_FAILURE_NONE = 0,
    // The file could not be written (a missing or read-only folder, a full disk).
    SAVES_FAILURE_NOT_WRITTEN = 1,
    // Nothing is at the path.
    SAVES_FAILURE_NOT_FOUND = 2,
    // The file is there but could not be read (no permission, a read error).
    SAVES_FAILURE_NOT_READ = 3,
    // Not a saves file of this program (not a regular file, too large, wrong magic or version), or
    // a damaged one (it does not decipher, a record out of its domain, cut, or bytes after the end).
    SAVES_FAILURE_NOT_A_SAVES_FILE = 4,
    // Not from the manager: the saves dialog back end had no file to send (the dialog yielded none).
    SAVES_FAILURE_NO_FILE = 5,
};
