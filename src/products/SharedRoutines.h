#pragma once
// The uninstaller run most components share: look up the registered
// uninstall string, build the command by the component's rule, run it and
// wait, then check whether the product is still registered.

#include "log/Log.h"

#include <functional>
#include <optional>
#include <string>

class ORVProduct;

// How one component runs its uninstaller.
struct UninstallRule {
    // Agent, relay, client deploy tool and platform API make a temporary
    // response file as soon as an uninstall string is found.
    bool makesResponseFile = false;
    // Builds the command from the uninstall string and the response file's
    // path (empty when none was made). Absent ends the removal with false:
    // the response file could not be written.
    std::function<std::optional<std::wstring>(const std::wstring& uninstallString, const std::wstring& responseFile)>
        command;
    // The line written when the product is still registered afterwards, and
    // whether the removal then ends with false. Null: "Uninstaller appears
    // unsuccessful.  Attempting to manually uninstall..." and the manual
    // steps follow.
    const wchar_t* stillRegisteredMessage = nullptr;
};

// Runs the uninstaller registered for lookupName. False means: end the
// removal now with false (response file failure, or a verification failure
// of a rule with its own message). A missing uninstall string runs nothing
// and is not a failure.
bool StandardUninstall(const std::wstring& lookupName, const std::wstring& displayName, const UninstallRule& rule,
                       Remove::Log& log);

// The agent's rule, shared by the relay and the client deploy tool:
// " /qn" for Windows Installer, otherwise the fixed InstallShield response
// file written by product.
UninstallRule AgentUninstallRule(ORVProduct& product);

// The fixed InstallShield response file, as 8-bit text without a byte-order mark.
extern const char kInstallShieldResponseFile[];
