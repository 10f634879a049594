#pragma once
// The temporary file that hands an InstallShield engine its answers for one
// uninstaller run: created empty in the temporary folder with the program's
// prefix when made, deleted when destroyed.

#include "platform/TemporaryFile.h"

#include <string>

class ResponseFile {
public:
    // Throws when the temporary folder or a unique name cannot be had.
    ResponseFile() : file_(kTemporaryFilePrefix), path_(WindowsPath(file_.Location())) {}

    const std::wstring& Path() const { return path_; }

private:
    TemporaryFile file_;
    std::wstring path_;
};
