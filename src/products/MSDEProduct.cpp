#include "products/MSDEProduct.h"

#include "sysops/ActionPlan.h"
#include "sysops/UninstallCommands.h"
#include "sysops/UninstallEntries.h"
#include "sysops/UninstallerRunner.h"

void MSDEProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    installed = GetUninstallString(Name(), log).has_value();
}

bool MSDEProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    const auto uninstallString = GetUninstallString(Name(), log);
    if (!uninstallString) return true;
    RunUninstaller(MsiQuietCommand(*uninstallString), Name(), log);
    // A plan takes the uninstaller as successful.
    if (!Planning() && GetUninstallString(Name(), log)) {
        log.Write(L"Uninstall string still exists!  Uninstall appears unsuccessful.");
        log.EndLine();
        return false;
    }
    return true;
}
