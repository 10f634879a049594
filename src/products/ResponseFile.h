#pragma once
// The temporary file that hands an InstallShield engine its answers for one
// uninstaller run: created empty in the temporary folder with the program's
// prefix when made, deleted when destroyed. In plan mode nothing is created:
// the path is the temporary folder and a placeholder name, since the real
// name is only chosen when the file is made.

#include "platform/TemporaryFile.h"

#include <optional>
#include <string>

class ResponseFile {
public:
    // Throws when the temporary folder or a unique name cannot be had.
    ResponseFile();

    const std::wstring& Path() const { return path_; }

private:
    std::optional<TemporaryFile> file_;
    std::wstring path_;
};
