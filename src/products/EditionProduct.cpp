#include "products/EditionProduct.h"

#include "sysops/FileVersion.h"
#include "sysops/Files.h"
#include "sysops/RegistryPurge.h"
#include "sysops/ShellFolders.h"
#include "sysops/UninstallEntries.h"

void EditionProduct::ResolveProductName() {
    if (productName) return;
    productName = FindInstalledEdition(editions_);
    if (!productName) productName = editions_.front();
    log.Write(L"Setting product name to \"" + *productName + L"\"");
    log.EndLine();
}

void EditionProduct::SetDefaultPath(const wchar_t* suffix) {
    if (defaultPath) return;
    if (const auto programFiles = ProgramFilesFolder()) {
        defaultPath = *programFiles + suffix;
        log.Write(L"Setting default path to \"" + *defaultPath + L"\"");
    } else {
        log.Write(L"Cannot determine default install directory (old operating system?).");
    }
    log.EndLine();
}

bool EditionProduct::LocateInstallDir(const wchar_t* executable) {
    const std::wstring name = Name();
    installDir = GetInstallLocation(name, log);
    if (!installDir) {
        installDir = GetInstallLocationFromKey(
            HKEY_LOCAL_MACHINE, std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + executable,
            L"Path", log);
    }
    if (!installDir && defaultPath) {
        installDir = defaultPath;
        log.Write(L"Actual install directory could not be determined, using default directory \"" + *defaultPath +
                  L"\"");
        log.EndLine();
    }
    if (!installDir) {
        log.Write(L"Failed to determine the installation directory.");
        log.EndLine();
        return false;
    }
    return FileExists(*installDir, log);
}

bool EditionProduct::LookupVersion(const wchar_t* executable) {
    version = GetDisplayVersion(Name(), log);
    if (!version && installDir) version = ReadFileVersion(*installDir + L"\\" + executable, log);
    return version.has_value();
}
