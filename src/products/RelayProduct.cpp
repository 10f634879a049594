#include "products/RelayProduct.h"

#include "products/SharedRoutines.h"
#include "sysops/Files.h"
#include "sysops/InstallerRecords.h"
#include "sysops/Registry.h"
#include "sysops/RegistryPurge.h"
#include "sysops/Services.h"
#include "sysops/UninstallEntries.h"

namespace {

const wchar_t kExecutable[] = L"ORVRelay.exe";
const wchar_t kService[] = L"ORVRelay";
const wchar_t kSettingsKey[] = L"SOFTWARE\\Orvalis\\Enterprise Server";

// Subkeys of the settings key that the relay removes while the web reports
// still use the key itself.
const wchar_t* const kWebReportsKeys[] = {
    L"SOFTWARE\\Orvalis\\Enterprise Server\\ClientRegister",
    L"SOFTWARE\\Orvalis\\Enterprise Server\\IntakeDB",
    L"SOFTWARE\\Orvalis\\Enterprise Server\\HarvestService",
    L"SOFTWARE\\Orvalis\\Enterprise Server\\GlobalOptions",
};

const wchar_t* const kOtherKeys[] = {
    L"SOFTWARE\\Orvalis\\Orvalis Server",
    L"SOFTWARE\\Orvalis\\ORVRelay",
    L"SOFTWARE\\Orvalis\\OVEAdmin",
};

}  // namespace

const EditionList RelayProduct::kEditions = {
    L"Stennet Orvalis Relay",
    L"\u00bbStennet Orvalis Relay\u00ab",
    L"Stennet Fleetwise Relay",
    L"Varnel Fleetwise Relay",
    L"Orvalis Enterprise Relay",
    L"Orvalis for Stennet Quarda Tarn Relay",
    L"RGP Relay",
    L"Rindor Guard Platform Relay",
};

RelayProduct::RelayProduct(Remove::Log& log) : EditionProduct(log, L"Relay", kEditions) {}

void RelayProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    ResolveProductName();
    SetDefaultPath(L"\\Orvalis Enterprise\\ORV Relay");
    installed = false;
    installed |= LocateInstallDir(kExecutable);
    installed |= LookupVersion(kExecutable);
    const bool record = FindInstallerProduct(*productName, log);
    const bool entry = FindUninstallEntry(*productName, log);
    installed |= record || entry;
    installed |= RegistryValueExists(HKEY_LOCAL_MACHINE, kSettingsKey, L"RelayVersion", log);
}

bool RelayProduct::RemoveRegistryKeys() {
    bool ok = true;
    if (RegistryValueExists(HKEY_LOCAL_MACHINE, kSettingsKey, L"ORVWebReportsInstalled", log)) {
        // The web reports keep the settings key: only the relay's subkeys
        // go, and the first that resists stops the rest of them.
        for (const wchar_t* key : kWebReportsKeys) {
            if (!DeleteRegistryKey(HKEY_LOCAL_MACHINE, key, log)) {
                ok = false;
                break;
            }
        }
    } else {
        ok &= DeleteRegistryKey(HKEY_LOCAL_MACHINE, kSettingsKey, log);
    }
    for (const wchar_t* key : kOtherKeys) ok &= DeleteRegistryKey(HKEY_LOCAL_MACHINE, key, log);
    return ok;
}

bool RelayProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    if (!StandardUninstall(Name(), Name(), AgentUninstallRule(*this), log)) return false;
    bool ok = RemoveService(kService, log);
    if (installDir) ok &= DeleteDirectory(*installDir, log);
    ok &= RemoveRegistryKeys();
    ok &= PurgeRegistryTraces(ProductNameCopy(), Editions(), log);
    return ok;
}
