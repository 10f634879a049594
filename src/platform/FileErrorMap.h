#pragma once
// Turns the Windows error code of a failed file call into the exception of
// the FileIOError family that describes it, carrying the path and the code.

#include "platform/FileLocation.h"

#include <windows.h>

// Each kind of file operation has a map of its own.
enum class FileErrorMap {
    OpenClose,  // opening, GetFileType, closing
    Flush,      // FlushFileBuffers
    Item,       // folder creation, attribute change, deletion
    Write,      // WriteFile
};

// Throws the exception the map gives for code. Returns without throwing for
// code 0, and for ERROR_HANDLE_EOF (38) in the item map.
void ThrowFileError(FileErrorMap map, DWORD code, const FileLocation& location);
