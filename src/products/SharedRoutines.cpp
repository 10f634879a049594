#include "products/SharedRoutines.h"

#include "products/ORVProduct.h"
#include "products/ResponseFile.h"
#include "sysops/ActionPlan.h"
#include "sysops/InstallerRecords.h"
#include "sysops/UninstallCommands.h"
#include "sysops/UninstallEntries.h"
#include "sysops/UninstallerRunner.h"

#include <memory>

const char kInstallShieldResponseFile[] =
    "[InstallShield Silent]\r\nVersion=v7.00\r\nFile=Response File\r\n[File Transfer]\r\nOverwrittenReadOnly=NoToAll\r\n";

bool StandardUninstall(const std::wstring& lookupName, const std::wstring& displayName, const UninstallRule& rule,
                       Remove::Log& log) {
    const auto uninstallString = GetUninstallString(lookupName, log);
    if (!uninstallString) return true;

    std::unique_ptr<ResponseFile> response;
    if (rule.makesResponseFile) {
        try {
            response = std::make_unique<ResponseFile>();
        } catch (...) {
            log.WriteCurrentException();
            log.EndLine();
            return false;
        }
    }
    const auto command = rule.command(*uninstallString, response ? response->Path() : std::wstring());
    if (!command) return false;

    RunUninstaller(*command, displayName, log);
    // A plan takes the uninstaller as run and goes on to the manual steps,
    // which then show the most a removal can take.
    if (Planning()) return true;

    // The installer records are only looked at when the entry is gone.
    const bool stillRegistered = FindUninstallEntry(lookupName, log) || FindInstallerProduct(lookupName, log);
    if (!stillRegistered) return true;
    if (rule.stillRegisteredMessage != nullptr) {
        log.Write(rule.stillRegisteredMessage);
        log.EndLine();
        return false;
    }
    log.Write(L"Uninstaller appears unsuccessful.  Attempting to manually uninstall...");
    log.EndLine();
    return true;
}

UninstallRule AgentUninstallRule(ORVProduct& product) {
    UninstallRule rule;
    rule.makesResponseFile = true;
    rule.command = [&product](const std::wstring& uninstallString,
                              const std::wstring& responseFile) -> std::optional<std::wstring> {
        if (IsMsiExecCommand(uninstallString)) return MsiQuietCommand(uninstallString);
        if (!product.WriteResponseFile(responseFile)) return std::nullopt;
        return InstallShieldResponseCommand(uninstallString, responseFile);
    };
    return rule;
}
