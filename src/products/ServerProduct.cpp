#include "products/ServerProduct.h"

#include "platform/Text.h"
#include "products/SharedRoutines.h"
#include "sysops/Files.h"
#include "sysops/InstallerRecords.h"
#include "sysops/Registry.h"
#include "sysops/RegistryPurge.h"
#include "sysops/Services.h"
#include "sysops/ShellFolders.h"
#include "sysops/UninstallCommands.h"
#include "sysops/UninstallEntries.h"

namespace {

const wchar_t kSettingsKey[] = L"SOFTWARE\\Orvalis\\Enterprise Server";
const wchar_t kReportsKey[] = L"SOFTWARE\\Orvalis\\Enterprise Server\\ORVReports";
const char kReportsPathEnding[] = "cgi-bin\\orvreports";

const wchar_t* const kServices[] = {L"ORVWebReportsServer", L"HarvestDB", L"IntakeDB", L"ORVRootServer", L"ORVHarvest"};

const wchar_t* const kServerKeys[] = {
    L"SOFTWARE\\Orvalis\\Orvalis Server",
    L"SOFTWARE\\Orvalis\\Enterprise Server",
    L"SOFTWARE\\Orvalis\\ORVRelay",
    L"SOFTWARE\\Orvalis\\OVEAdmin",
    L"SYSTEM\\ControlSet002\\services\\ORVRootServer",
    L"SYSTEM\\ControlSet002\\services\\ORVHarvest",
    L"SYSTEM\\ControlSet002\\services\\HarvestDB",
    L"SYSTEM\\ControlSet002\\services\\IntakeDB",
    L"SYSTEM\\ControlSet002\\services\\ORVWebReportsServer",
};

const wchar_t* const kServerKeysRemovalOrder[] = {
    L"SOFTWARE\\Orvalis\\Enterprise Server",
    L"SOFTWARE\\Orvalis\\Orvalis Server",
    L"SOFTWARE\\Orvalis\\ORVRelay",
    L"SOFTWARE\\Orvalis\\OVEAdmin",
    L"SYSTEM\\ControlSet002\\services\\ORVRootServer",
    L"SYSTEM\\ControlSet002\\services\\ORVHarvest",
    L"SYSTEM\\ControlSet002\\services\\HarvestDB",
    L"SYSTEM\\ControlSet002\\services\\IntakeDB",
    L"SYSTEM\\ControlSet002\\services\\ORVWebReportsServer",
};

void WriteLine(Remove::Log& log, const std::wstring& text) {
    log.Write(text);
    log.EndLine();
}

// The web root that a web-reports "Path" value names: the value less its
// "cgi-bin\orvreports" ending (compared on its UTF-8 form); absent for any
// other value.
std::optional<std::wstring> ReportsWwwRootFromPath(const std::wstring& value) {
    try {
        const std::string utf8 = TranscodeU16ToU8(value);
        const size_t endingLength = sizeof kReportsPathEnding - 1;
        if (utf8.size() < endingLength || utf8.compare(utf8.size() - endingLength, endingLength, kReportsPathEnding) != 0)
            return std::nullopt;
        return TranscodeU8ToU16(utf8.substr(0, utf8.size() - endingLength));
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

const EditionList ServerProduct::kEditions = {
    L"Stennet Orvalis Server",
    L"Stennet Fleetwise Server",
    L"Varnel Fleetwise Server",
    L"Orvalis Enterprise Server",
    L"Orvalis for Stennet Quarda Tarn Server",
    L"RGP Server",
    L"Rindor Guard Platform Server",
};

ServerProduct::ServerProduct(Remove::Log& log) : EditionProduct(log, L"Server", kEditions) {}

void ServerProduct::SetDefaultFolders() {
    if (defaultPath && defaultWwwPath && defaultReportsWwwPath) return;
    const auto programFiles = ProgramFilesFolder();
    if (!programFiles) {
        WriteLine(log, L"Cannot determine default install directory (old operating system?).");
        return;
    }
    defaultPath = *programFiles + L"\\Orvalis Enterprise\\ORV Server";
    defaultWwwPath = *programFiles + L"\\Orvalis Enterprise\\ORV Server\\wwwrootorv";
    defaultReportsWwwPath = *programFiles + L"\\Orvalis Enterprise\\ORV Server\\ORVReportsServer\\wwwroot";
    WriteLine(log, L"Setting default path to \"" + *defaultPath + L"\"");
    WriteLine(log, L"Setting default www path to \"" + *defaultWwwPath + L"\"");
    WriteLine(log, L"Setting default WR www path to \"" + *defaultReportsWwwPath + L"\"");
}

void ServerProduct::LocateFolders() {
    installDir = GetInstallLocation(*productName, log);
    if (!installDir) installDir = GetInstallLocationFromKey(HKEY_LOCAL_MACHINE, kSettingsKey, L"EnterpriseServerFolder", log);
    if (!installDir && defaultPath) {
        installDir = defaultPath;
        WriteLine(log, L"Actual install directory could not be determined, using default directory \"" + *defaultPath +
                           L"\"");
    }
    if (installDir) FileExists(*installDir, log);
    else WriteLine(log, L"Failed to determine the installation directory.");

    wwwRoot = GetInstallLocationFromKey(HKEY_LOCAL_MACHINE, kSettingsKey, L"wwwRootFolder", log);
    if (!wwwRoot && defaultWwwPath) {
        wwwRoot = defaultWwwPath;
        WriteLine(log, L"Actual Server's wwwroot directory could not be determined, using default directory \"" +
                           *defaultWwwPath + L"\"");
    }
    if (wwwRoot) FileExists(*wwwRoot, log);
    else WriteLine(log, L"Failed to determine Server's wwwroot directory.");

    LocateReportsWwwRoot();
}

void ServerProduct::LocateReportsWwwRoot() {
    reportsWwwRoot.reset();
    if (const auto path = GetInstallLocationFromKey(HKEY_LOCAL_MACHINE, kReportsKey, L"Path", log))
        reportsWwwRoot = ReportsWwwRootFromPath(*path);
    if (!reportsWwwRoot && defaultReportsWwwPath) {
        reportsWwwRoot = defaultReportsWwwPath;
        WriteLine(log, L"Actual WR's wwwroot could not be determined, using default directory \"" +
                           *defaultReportsWwwPath + L"\"");
    }
    if (reportsWwwRoot) FileExists(*reportsWwwRoot, log);
    else WriteLine(log, L"Failed to determine WR's wwwroot directory.");
}

bool ServerProduct::ServerKeysExist() {
    // A settings key marked by a relay does not count as the server's.
    if (RegistryValueExists(HKEY_LOCAL_MACHINE, kSettingsKey, L"RelayVersion", log)) return false;
    bool found = false;
    for (const wchar_t* key : kServerKeys) found |= RegistryKeyExists(HKEY_LOCAL_MACHINE, key, log);
    return found;
}

void ServerProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    ResolveProductName();
    SetDefaultFolders();
    version = GetDisplayVersion(*productName, log);
    LocateFolders();
    const bool record = FindInstallerProduct(*productName, log);
    const bool entry = FindUninstallEntry(*productName, log);
    installed = record || entry;
    installed |= ServerKeysExist();
    for (const wchar_t* service : kServices) installed |= ServiceExists(service, log);
}

bool ServerProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    UninstallRule rule;
    rule.command = [](const std::wstring& uninstallString, const std::wstring&) -> std::optional<std::wstring> {
        return InstallShieldUninstallCommand(uninstallString);
    };
    StandardUninstall(Name(), Name(), rule, log);

    bool ok = PurgeRegistryTraces(ProductNameCopy(), Editions(), log);
    for (const wchar_t* service : kServices) ok &= RemoveService(service, log);
    for (const auto* folder : {&installDir, &wwwRoot, &reportsWwwRoot})
        if (*folder) ok &= DeleteDirectory(**folder, log);
    for (const wchar_t* key : kServerKeysRemovalOrder) ok &= DeleteRegistryKey(HKEY_LOCAL_MACHINE, key, log);
    return ok;
}
