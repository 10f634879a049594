#include "products/A2AProduct.h"

#include "products/AgentFolder.h"
#include "products/DefaultFolder.h"
#include "sysops/FileVersion.h"
#include "sysops/Files.h"
#include "sysops/Registry.h"
#include "sysops/UninstallEntries.h"

namespace {

const wchar_t kA2AKey[] = L"SOFTWARE\\Orvalis\\EnterpriseClient\\A2A";

void WriteLine(Remove::Log& log, const std::wstring& text) {
    log.Write(text);
    log.EndLine();
}

}  // namespace

bool A2AProduct::LocateInstallDir() {
    installDir = GetInstallLocationFromKey(HKEY_LOCAL_MACHINE, kA2AKey, L"DLLPath", log);
    if (!installDir) {
        // A sibling of the agent's folder; the deletion resolves the "..".
        if (const auto agentFolder = FindAgentFolder(log)) installDir = *agentFolder + L"\\.." + L"\\ORV A2A";
    }
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

void A2AProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    SetDefaultFolder(defaultPath, L"\\Orvalis Enterprise\\ORV A2A", log, L"Cannot determine default install directory");
    installed = false;
    installed |= LocateInstallDir();
    version = installDir ? ReadFileVersion(*installDir + L"\\ORVA2ADLL.dll", log) : std::nullopt;
    installed |= version.has_value();
    installed |= RegistryKeyExists(HKEY_LOCAL_MACHINE, kA2AKey, log);
}

bool A2AProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    bool ok = true;
    if (installDir) ok &= DeleteDirectory(*installDir, log);
    ok &= DeleteRegistryKey(HKEY_LOCAL_MACHINE, kA2AKey, log);
    return ok;
}
