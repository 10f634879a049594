#include "products/InstallersProduct.h"

#include "products/SharedRoutines.h"
#include "sysops/Files.h"
#include "sysops/InstallerRecords.h"
#include "sysops/ProfilePasses.h"
#include "sysops/Registry.h"
#include "sysops/RegistryPurge.h"
#include "sysops/ShellFolders.h"
#include "sysops/UninstallCommands.h"
#include "sysops/UninstallEntries.h"

namespace {

const wchar_t kGeneratorKey[] = L"SOFTWARE\\Orvalis\\ORV Installation Generator";
const wchar_t kCredentialsSuffix[] = L"\\ORVCredentials";

// The credentials folder of the account running the removal; a missing
// Documents folder leaves nothing to delete.
bool DeleteCredentials(Remove::Log& log) {
    const auto documents = DocumentsFolder();
    if (!documents) return true;
    return DeleteDirectory(*documents + kCredentialsSuffix, log);
}

// The credentials folders in the other users' Documents.
bool DeleteOtherProfilesCredentials(Remove::Log& log) {
    const ProfileTargets targets{{}, [](const ProfileFolders& folders) {
                                     return std::vector<std::wstring>{folders.documents + kCredentialsSuffix};
                                 }, {}};
    bool ok = true;
    const bool visited = VisitOtherProfiles(targets, [&](const ProfileVisit& visit) {
        ok &= DeleteDirectory(visit.folders.documents + kCredentialsSuffix, log);
    }, log);
    return visited && ok;
}

}  // namespace

const EditionList InstallersProduct::kEditions = {
    L"Stennet Orvalis Installation Generator",
    L"Stennet Fleetwise Installation Generator",
    L"Varnel Fleetwise Installation Generator",
    L"Orvalis Enterprise Suite Installation Generator",
    L"Orvalis for Stennet Quarda Tarn Installation Generator",
    L"RGP Installation Generator",
    L"Rindor Guard Platform Installation Generator",
};

InstallersProduct::InstallersProduct(Remove::Log& log) : EditionProduct(log, L"Deployment Installer", kEditions) {}

bool InstallersProduct::LocateGeneratorFolder() {
    installDir = GetInstallLocationFromKey(HKEY_LOCAL_MACHINE, kGeneratorKey, L"InstallFolder", log);
    if (!installDir) {
        log.Write(L"Failed to determine the installation directory.");
        log.EndLine();
        return false;
    }
    return FileExists(*installDir, log);
}

void InstallersProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    ResolveProductName();
    installed = false;
    installed |= LocateGeneratorFolder();
    version = GetDisplayVersion(*productName, log);
    installed |= version.has_value();
    const bool record = FindInstallerProduct(*productName, log);
    const bool entry = FindUninstallEntry(*productName, log);
    installed |= record || entry;
    installed |= RegistryKeyExists(HKEY_LOCAL_MACHINE, kGeneratorKey, log);
}

bool InstallersProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    UninstallRule rule;
    rule.command = [](const std::wstring& uninstallString, const std::wstring&) -> std::optional<std::wstring> {
        return InstallShieldUninstallCommand(uninstallString);
    };
    StandardUninstall(Name(), Name(), rule, log);
    bool ok = PurgeRegistryTraces(ProductNameCopy(), Editions(), log);
    ok &= DeleteRegistryKey(HKEY_LOCAL_MACHINE, kGeneratorKey, log);
    if (installDir) ok &= DeleteDirectory(*installDir, log);
    ok &= DeleteCredentials(log);
    ok &= DeleteOtherProfilesCredentials(log);
    return ok;
}
