#include "products/DLPProduct.h"

#include "products/AgentFolder.h"
#include "products/DefaultFolder.h"
#include "sysops/FileVersion.h"
#include "sysops/Files.h"
#include "sysops/Registry.h"
#include "sysops/UninstallCommands.h"
#include "sysops/UninstallerRunner.h"

namespace {

const wchar_t kDlpKey[] = L"SOFTWARE\\Orvalis\\DLP";
const wchar_t kControlProgram[] = L"\\ORVTightsealCtrl.exe";

}  // namespace

bool DLPProduct::LocateInstallDir() {
    installDir.reset();
    if (const auto agentFolder = FindAgentFolder(log)) {
        installDir = *agentFolder + L"\\DLP";
    } else if (defaultPath) {
        installDir = defaultPath;
        log.Write(L"Actual client install directory could not be determined, using default directory \"" +
                  *defaultPath + L"\"");
        log.EndLine();
    }
    return installDir && FileExists(*installDir, log);
}

void DLPProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    SetDefaultFolder(defaultPath, L"\\Orvalis Enterprise\\ORV Client\\DLP", log);
    installed = false;
    installed |= LocateInstallDir();
    version = installDir ? ReadFileVersion(*installDir + kControlProgram, log) : std::nullopt;
    installed |= version.has_value();
    installed |= RegistryKeyExists(HKEY_LOCAL_MACHINE, kDlpKey, log);
}

bool DLPProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    bool ok = true;
    if (installDir) {
        // The control program's own result is not looked at: the folder and
        // key go by hand whatever it did.
        const std::wstring controlProgram = *installDir + kControlProgram;
        if (FileExists(controlProgram, log)) RunUninstaller(DlpControlCommand(controlProgram), Name(), log);
        ok &= DeleteDirectory(*installDir, log);
    }
    ok &= DeleteRegistryKey(HKEY_LOCAL_MACHINE, kDlpKey, log);
    return ok;
}
