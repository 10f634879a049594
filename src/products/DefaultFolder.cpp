#include "products/DefaultFolder.h"

#include "sysops/ShellFolders.h"

void SetDefaultFolder(std::optional<std::wstring>& folder, const wchar_t* suffix, Remove::Log& log,
                      const wchar_t* failureLine) {
    if (folder) return;
    if (const auto programFiles = ProgramFilesFolder()) {
        folder = *programFiles + suffix;
        log.Write(L"Setting default path to \"" + *folder + L"\"");
    } else {
        log.Write(failureLine);
    }
    log.EndLine();
}
