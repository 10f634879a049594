#include "products/ClientProduct.h"

#include "products/SharedRoutines.h"
#include "sysops/Files.h"
#include "sysops/InstallerRecords.h"
#include "sysops/Registry.h"
#include "sysops/RegistryPurge.h"
#include "sysops/Services.h"
#include "sysops/UninstallCommands.h"
#include "sysops/UninstallEntries.h"
#include "sysops/UninstallerRunner.h"

namespace {

const wchar_t kExecutable[] = L"ORVClient.exe";
const wchar_t kService[] = L"ORVClient";
const wchar_t kHelperKey[] = L"SOFTWARE\\Orvalis\\ORVClientHelper";
const wchar_t kHelperServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\ORVClientHelper";

// The agent keys in the order detection tests them.
const wchar_t* const kAgentKeys[] = {
    L"SOFTWARE\\Orvalis\\ClientComplianceAPI",
    L"SOFTWARE\\Orvalis\\EnterpriseClient",
    L"SOFTWARE\\Orvalis, Inc.\\Orvalis Enterprise Client",
    L"SYSTEM\\ControlSet002\\services\\ORVClient",
};

// The same keys in the order removal deletes them.
const wchar_t* const kAgentKeysRemovalOrder[] = {
    L"SOFTWARE\\Orvalis\\EnterpriseClient",
    L"SOFTWARE\\Orvalis\\ClientComplianceAPI",
    L"SOFTWARE\\Orvalis, Inc.\\Orvalis Enterprise Client",
    L"SYSTEM\\ControlSet002\\services\\ORVClient",
};

// A service image path in double quotes names the file between them; any
// other text is taken whole.
std::wstring HelperFilePath(const std::wstring& imagePath) {
    const size_t first = imagePath.find(L'"');
    const size_t last = imagePath.rfind(L'"');
    if (first == 0 && last == imagePath.size() - 1 && last > first) return imagePath.substr(1, last - 1);
    return imagePath;
}

}  // namespace

const EditionList ClientProduct::kEditions = {
    L"Stennet Orvalis Client",
    L"Stennet Fleetwise Client",
    L"Stennet Fleetwise Agent",
    L"Varnel Fleetwise Agent",
    L"Varnel Fleetwise Client",
    L"Orvalis Enterprise Client",
    L"Orvalis for Stennet Quarda Tarn Client",
    L"RGP Agent",
    L"Rindor Guard Platform",
};

ClientProduct::ClientProduct(Remove::Log& log) : EditionProduct(log, L"Agent", kEditions) {}

void ClientProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    ResolveProductName();
    SetDefaultPath(L"\\Orvalis Enterprise\\ORV Client");
    installed = false;
    installed |= LocateInstallDir(kExecutable);
    installed |= LookupVersion(kExecutable);
    const bool record = FindInstallerProduct(*productName, log);
    const bool entry = FindUninstallEntry(*productName, log);
    installed |= record || entry;
    for (const wchar_t* key : kAgentKeys) installed |= RegistryKeyExists(HKEY_LOCAL_MACHINE, key, log);
    installed |= HelperCheck();
}

bool ClientProduct::HelperCheck() {
    if (!helperImagePath)
        helperImagePath = GetInstallLocationFromKey(HKEY_LOCAL_MACHINE, kHelperServiceKey, L"ImagePath", log);
    bool found = RegistryKeyExists(HKEY_LOCAL_MACHINE, kHelperKey, log);
    found |= RegistryKeyExists(HKEY_LOCAL_MACHINE, kHelperServiceKey, log);
    if (helperImagePath && helperImagePath->size() >= 2) found |= FileExists(HelperFilePath(*helperImagePath), log);
    return found;
}

bool ClientProduct::RemoveHelper() {
    bool ok = true;
    if (helperImagePath) ok &= RunUninstaller(ClientHelperRemoveCommand(*helperImagePath), L"ORV Client Helper", log);
    ok &= DeleteRegistryKey(HKEY_LOCAL_MACHINE, kHelperKey, log);
    return ok;
}

bool ClientProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    bool ok = true;
    if (HelperCheck() && !RemoveHelper()) {
        log.Write(L"Warning: ORV Client Helper uninstall failed!  ORV Client uninstall may fail.");
        log.EndLine();
        ok = false;
    }
    StopService(kService, log);
    if (!StandardUninstall(Name(), Name(), AgentUninstallRule(*this), log)) return false;
    ok &= RemoveService(kService, log);
    if (installDir) ok &= DeleteDirectory(*installDir, log);
    for (const wchar_t* key : kAgentKeysRemovalOrder) ok &= DeleteRegistryKey(HKEY_LOCAL_MACHINE, key, log);
    ok &= PurgeRegistryTraces(ProductNameCopy(), Editions(), log);
    return ok;
}
