#include "products/CDTProduct.h"

#include "products/SharedRoutines.h"
#include "sysops/Files.h"
#include "sysops/InstallerRecords.h"
#include "sysops/RegistryPurge.h"
#include "sysops/UninstallEntries.h"

namespace {

const wchar_t kExecutable[] = L"ORVClientDeploy.exe";

bool IsEmbeddedVersion(const std::optional<std::wstring>& version) {
    return version && ParseComponentVersion(*version) >= CDTProduct::EmbeddedDeployToolVersion;
}

}  // namespace

const EditionList CDTProduct::kEditions = {
    L"Stennet Orvalis Client Deploy Tool",
};

const ComponentVersion CDTProduct::EmbeddedDeployToolVersion = {{9, 5, 5, 0}, 4};

CDTProduct::CDTProduct(Remove::Log& log)
    : EditionProduct(log, L"Client Deploy Tool", kEditions), embeddedConsole(quietLog) {}

bool CDTProduct::EmbeddedInConsole() {
    embeddedConsole.Detect();
    return embeddedConsole.installed && IsEmbeddedVersion(embeddedConsole.Version());
}

void CDTProduct::WriteEmbeddedLine() {
    log.Write(L"The Client Deploy Tool is embedded in the Console, it is not a stand alone component.");
    log.EndLine();
}

void CDTProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    ResolveProductName();
    SetDefaultPath(L"\\Orvalis Enterprise\\ORV Client Deploy");
    installed = false;
    if (EmbeddedInConsole()) {
        // The console's removal takes the tool with it; nothing of the
        // tool's own is found.
        installDir.reset();
        version.reset();
        WriteEmbeddedLine();
        return;
    }
    installed |= LocateInstallDir(kExecutable);
    installed |= LookupVersion(kExecutable);
    const bool record = FindInstallerProduct(*productName, log);
    const bool entry = FindUninstallEntry(*productName, log);
    installed |= record || entry;
    // A tool of an embedding version found on its own still counts.
    if (installed && IsEmbeddedVersion(version)) WriteEmbeddedLine();
}

bool CDTProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    if (!StandardUninstall(Name(), Name(), AgentUninstallRule(*this), log)) return false;
    bool ok = true;
    if (installDir) ok &= DeleteDirectory(*installDir, log);
    ok &= PurgeRegistryTraces(ProductNameCopy(), Editions(), log);
    return ok;
}
