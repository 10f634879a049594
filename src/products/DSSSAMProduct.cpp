#include "products/DSSSAMProduct.h"

#include "products/SharedRoutines.h"
#include "sysops/InstallerRecords.h"
#include "sysops/Registry.h"
#include "sysops/UninstallCommands.h"
#include "sysops/UninstallEntries.h"

namespace {

// Spelled with a mixed-case "Software", as the setup writes it.
const wchar_t kInventoryKey[] = L"Software\\Orvalis\\Orvalis Inventory";

}  // namespace

void DSSSAMProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    installed = false;
    version = GetDisplayVersion(Name(), log);
    installed |= version.has_value();
    const bool record = FindInstallerProduct(Name(), log);
    const bool entry = FindUninstallEntry(Name(), log);
    installed |= record || entry;
    installed |= RegistryKeyExists(HKEY_LOCAL_MACHINE, kInventoryKey, log);
}

bool DSSSAMProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    UninstallRule rule;
    // Always a Windows Installer setup: no test for "MsiExec".
    rule.command = [](const std::wstring& uninstallString, const std::wstring&) -> std::optional<std::wstring> {
        return MsiQuietCommand(uninstallString);
    };
    StandardUninstall(Name(), Name(), rule, log);
    bool ok = DeleteRegistryKey(HKEY_LOCAL_MACHINE, kInventoryKey, log);
    ok &= RemoveInstallerRecords(Name(), log);
    ok &= RemoveUninstallEntries(Name(), log);
    return ok;
}
