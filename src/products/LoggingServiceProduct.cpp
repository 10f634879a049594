#include "products/LoggingServiceProduct.h"

#include "products/DefaultFolder.h"
#include "sysops/ActionPlan.h"
#include "sysops/Files.h"
#include "sysops/InstallerRecords.h"
#include "sysops/Registry.h"
#include "sysops/UninstallCommands.h"
#include "sysops/UninstallEntries.h"
#include "sysops/UninstallerRunner.h"

namespace {

const wchar_t kServiceKey[] = L"SOFTWARE\\Orvalis\\LoggingService";

void WriteLine(Remove::Log& log, const std::wstring& text) {
    log.Write(text);
    log.EndLine();
}

}  // namespace

const wchar_t LoggingServiceProduct::kLookupName[] = L"ORV Logging Service";

bool LoggingServiceProduct::LocateInstallDir() {
    installDir = GetInstallLocation(kLookupName, log);
    if (!installDir && defaultPath) {
        installDir = defaultPath;
        WriteLine(log, L"Actual install directory could not be determined, using default directory \"" + *defaultPath +
                           L"\"");
    }
    if (!installDir) {
        WriteLine(log, L"Failed to determine the installation directory.");
        return false;
    }
    return FileExists(*installDir, log);
}

void LoggingServiceProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    SetDefaultFolder(defaultPath, L"\\Orvalis Enterprise\\ORV Client\\ORVClientLoggingService", log);
    installed = false;
    installed |= LocateInstallDir();
    const bool record = FindInstallerProduct(kLookupName, log);
    const bool entry = FindUninstallEntry(kLookupName, log);
    installed |= record || entry;
    version = GetDisplayVersion(kLookupName, log);
    installed |= version.has_value();
    installed |= RegistryKeyExists(HKEY_LOCAL_MACHINE, kServiceKey, log);
}

// Its own "UninstallCmdLine" as it stands, else the Windows Installer
// string of its uninstall entry.
std::optional<std::wstring> LoggingServiceProduct::UninstallCommand() {
    const auto own = GetUninstallStringFromKey(HKEY_LOCAL_MACHINE, kServiceKey, L"UninstallCmdLine", Name(), log);
    if (own) return LoggingServiceCommand(own, std::wstring());
    if (const auto uninstallString = GetUninstallString(kLookupName, log))
        return LoggingServiceCommand(std::nullopt, *uninstallString);
    return std::nullopt;
}

bool LoggingServiceProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    if (const auto command = UninstallCommand()) {
        RunUninstaller(*command, Name(), log);
        // The installer records are only looked at when the entry is gone. A
        // plan takes the uninstaller as successful and shows the steps after it.
        if (!Planning() && (FindUninstallEntry(kLookupName, log) || FindInstallerProduct(kLookupName, log))) {
            WriteLine(log, L"Installation information still exists!  Uninstall appears unsuccessful.");
            return false;
        }
    }
    bool ok = true;
    if (installDir) ok &= DeleteDirectory(*installDir, log);
    ok &= DeleteRegistryKey(HKEY_LOCAL_MACHINE, kServiceKey, log);
    ok &= RemoveInstallerRecords(kLookupName, log);
    ok &= RemoveUninstallEntries(kLookupName, log);
    return ok;
}
