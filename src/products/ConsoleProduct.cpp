#include "products/ConsoleProduct.h"

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

const wchar_t kExecutable[] = L"ORVConsole.exe";
// The per-user traces: every account that opened the console has both.
const wchar_t kSettingsKey[] = L"Software\\Orvalis\\Enterprise Console";
const wchar_t kAppDataSuffix[] = L"\\Orvalis\\Enterprise Console";

ProfileTargets PerUserTraces() {
    return {{kSettingsKey}, [](const ProfileFolders& folders) {
                return std::vector<std::wstring>{folders.localAppData + kAppDataSuffix};
            }, {}};
}

// The traces in the other users' profiles.
bool DetectInOtherProfiles(Remove::Log& log) {
    bool found = false;
    VisitOtherProfiles(PerUserTraces(), [&](const ProfileVisit& visit) {
        if (!visit.hive.empty()) found |= RegistryKeyExists(HKEY_USERS, visit.Key(kSettingsKey), log);
        found |= FileExists(visit.folders.localAppData + kAppDataSuffix, log);
    }, log);
    return found;
}

bool RemoveFromOtherProfiles(Remove::Log& log) {
    bool ok = true;
    const bool visited = VisitOtherProfiles(PerUserTraces(), [&](const ProfileVisit& visit) {
        ok &= DeleteDirectory(visit.folders.localAppData + kAppDataSuffix, log);
        if (!visit.hive.empty()) ok &= DeleteRegistryKey(HKEY_USERS, visit.Key(kSettingsKey), log);
    }, log);
    return visited && ok;
}

UninstallRule ConsoleUninstallRule() {
    UninstallRule rule;
    rule.command = [](const std::wstring& uninstallString, const std::wstring&) -> std::optional<std::wstring> {
        if (IsMsiExecCommand(uninstallString)) return ConsoleMsiCommand(uninstallString);
        return InstallShieldUninstallCommand(uninstallString);
    };
    return rule;
}

}  // namespace

const EditionList ConsoleProduct::kEditions = {
    L"Stennet Orvalis Console",
    L"Stennet Fleetwise Console",
    L"Varnel Fleetwise Console",
    L"Orvalis Enterprise Console",
    L"Orvalis for Stennet Quarda Tarn Console",
    L"RGP Console",
    L"Rindor Guard Platform Console",
};

ConsoleProduct::ConsoleProduct(Remove::Log& log) : EditionProduct(log, L"Console", kEditions) {}

void ConsoleProduct::SetAppDataPath() {
    if (appDataPath) return;
    if (const auto localAppData = LocalAppDataFolder()) {
        appDataPath = *localAppData + kAppDataSuffix;
        log.Write(L"Setting app data path to \"" + *appDataPath + L"\"");
    } else {
        log.Write(L"Cannot determine the application data directory (old operating system?).");
    }
    log.EndLine();
}

void ConsoleProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    ResolveProductName();
    SetDefaultPath(L"\\Orvalis Enterprise\\ORV Console");
    SetAppDataPath();
    installed = false;
    installed |= LocateInstallDir(kExecutable);
    installed |= LookupVersion(kExecutable);
    const bool record = FindInstallerProduct(*productName, log);
    const bool entry = FindUninstallEntry(*productName, log);
    installed |= record || entry;
    installed |= RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey, log);
    if (appDataPath) installed |= FileExists(*appDataPath, log);
    installed |= DetectInOtherProfiles(log);
}

bool ConsoleProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    StandardUninstall(Name(), Name(), ConsoleUninstallRule(), log);
    bool ok = true;
    if (installDir) ok &= DeleteDirectory(*installDir, log);
    if (appDataPath) ok &= DeleteDirectory(*appDataPath, log);
    ok &= DeleteRegistryKey(HKEY_CURRENT_USER, kSettingsKey, log);
    ok &= RemoveFromOtherProfiles(log);
    ok &= PurgeRegistryTraces(ProductNameCopy(), Editions(), log);
    return ok;
}
