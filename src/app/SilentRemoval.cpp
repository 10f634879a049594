#include "app/SilentRemoval.h"

#include "app/CommandLine.h"
#include "app/RemovalProgress.h"
#include "platform/MessageBox.h"
#include "sysops/RestartNeed.h"

#include <windows.h>

#include <set>
#include <string>
#include <vector>

const wchar_t kSilentUsageText[] =
    L"To remove components silently\n"
    L"the /silent switch must be used with one of the following:\n"
    L"    /all - all components\n"
    L"    /server - Server\n"
    L"    /console - Console\n"
    L"    /cdt - Client Deploy Tool\n"
    L"    /client - Agent\n"
    L"    /loggingservice - Client Logging Service\n"
    L"    /dlp - DLP\n"
    L"    /msde - Microsoft SQL Desktop Engine\n"
    L"    /database - Supporting Databases\n"
    L"    /generator - Installation Generator\n"
    L"    /sam - Software Asset Management\n"
    L"    /a2a - Agent-to-agent API"
    L"    /api - Platform API";

namespace {

// The agent's dependents in the order the refusal names them.
const std::pair<Component, const wchar_t*> kAgentDependents[] = {
    {Component::Relay, L" '/relay'"},
    {Component::Server, L" '/server'"},
    {Component::A2A, L" '/a2a'"},
    {Component::ClientDeployTool, L" '/cdt'"},
};

bool IsInstalled(const ORVProduct* product) { return product != nullptr && product->installed; }

}  // namespace

void ShowSilentBox(Remove::Log& log, const std::wstring& text, unsigned type) {
    log.Write(text);
    log.EndLine();
    WindowsPlatform::AppMessageBox(text, type);
}

std::wstring AgentDependencyRefusal(const Catalogue& catalogue, const std::function<bool(ORVProduct*)>& selected) {
    bool refuse = false;
    std::wstring listed;
    for (const auto& [component, option] : kAgentDependents) {
        ORVProduct* dependent = catalogue.Get(component);
        if (!IsInstalled(dependent)) continue;
        listed += option;
        if (!selected(dependent)) refuse = true;
    }
    if (!refuse) return {};
    return L"The client should not be removed without also removing the components that depend on it."
           L" To also remove the dependent components, use the option '/client' with the options: " +
           listed + L". To forcefully remove only the client, add the option '/force'.";
}

std::wstring ExitCodeLine(SilentExitCode code) {
    const wchar_t* meaning = L"";
    switch (code) {
    case SilentExitCode::Removed: meaning = L"every selected component is gone"; break;
    case SilentExitCode::NothingSelected: meaning = L"nothing was selected or the command line is not valid"; break;
    case SilentExitCode::Refused: meaning = L"refused by the agent dependency rule"; break;
    case SilentExitCode::StillInstalled: meaning = L"a selected component is still installed"; break;
    case SilentExitCode::LocationNotWritable: meaning = L"the log or the registry backup could not be written"; break;
    case SilentExitCode::ComponentsInstalled: meaning = L"components of the suite are installed"; break;
    case SilentExitCode::RestartNeeded:
        meaning = L"every selected component is gone; Windows must be restarted to finish the removal";
        break;
    }
    return L"Exit code " + std::to_wstring(static_cast<int>(code)) + L": " + meaning;
}

SilentExitCode RunSilentRemoval(const std::wstring& argumentText, const Catalogue& catalogue, Remove::Log& log,
                                const std::function<void(Remove::Log&)>& rootCleanup) {
    const bool all = HasSwitch(argumentText, L"/all");
    const bool force = HasSwitch(argumentText, L"/force");
    std::set<ORVProduct*> selection;
    bool anySelected = false;

    // Selection and detection interleave: every component is detected,
    // selected or not.
    for (Component component : kSilentDetectionOrder) {
        ORVProduct* product = catalogue.Get(component);
        if (all || HasSwitch(argumentText, SilentSwitch(component))) {
            anySelected = true;
            if (product != nullptr) selection.insert(product);
        }
        ProgressTurning(component);  // run report
        if (product != nullptr) product->Detect();
        ProgressDetected(component, product, selection.count(product) != 0);  // run report
    }
    const auto isSelected = [&selection](ORVProduct* p) { return p != nullptr && selection.count(p) != 0; };

    ORVProduct* agent = catalogue.Get(Component::Agent);
    if (!force && isSelected(agent)) {
        const std::wstring refusal = AgentDependencyRefusal(catalogue, isSelected);
        if (!refusal.empty()) {
            ShowSilentBox(log, refusal, MB_ICONERROR);
            return SilentExitCode::Refused;
        }
    }

    // Implied removals, whether or not the implied components are installed.
    ORVProduct* loggingService = catalogue.Get(Component::LoggingService);
    ORVProduct* dlp = catalogue.Get(Component::DLP);
    if (isSelected(agent) && loggingService != nullptr) selection.insert(loggingService);
    if (isSelected(loggingService) && dlp != nullptr) selection.insert(dlp);

    bool remaining = false;
    for (Component component : kSilentRemovalOrder) {
        ORVProduct* product = catalogue.Get(component);
        if (product == nullptr) continue;
        ProgressTurning(component);  // run report
        if (product->installed && isSelected(product)) product->Remove();
        product->Detect();
        ProgressDetected(component, product, isSelected(product));  // run report
        // A2A, last in the order, is judged on its own below.
        if (component != Component::A2A && product->installed) remaining = true;
    }
    if (!IsInstalled(catalogue.Get(Component::A2A)) && !remaining) {
        // The banner the dialog writes before the same cleanup.
        log.WriteRemovalBanner(L"Folders and Registry keys");
        ProgressCleaningUp();  // run report
        rootCleanup(log);
    }

    if (!anySelected) {
        ShowSilentBox(log, kSilentUsageText, MB_OK);
        return SilentExitCode::NothingSelected;
    }
    for (ORVProduct* product : selection)
        if (product->installed) return SilentExitCode::StillInstalled;
    return RestartNeeded() ? SilentExitCode::RestartNeeded : SilentExitCode::Removed;
}

SilentExitCode RunSilentDetection(const Catalogue& catalogue, Remove::Log& log) {
    std::vector<ORVProduct*> installed;
    for (Component component : kSilentDetectionOrder) {
        ORVProduct* product = catalogue.Get(component);
        if (product == nullptr) continue;
        ProgressTurning(component);  // run report
        product->Detect();
        ProgressDetected(component, product, false);  // run report
        if (product->installed) installed.push_back(product);
    }
    const SilentExitCode code = installed.empty() ? SilentExitCode::Removed : SilentExitCode::ComponentsInstalled;
    log.EndLine();
    log.Write(L"Installed components: " + std::to_wstring(installed.size()) + L" (exit code " +
              std::to_wstring(static_cast<int>(code)) + L")");
    log.EndLine();
    for (ORVProduct* product : installed) {
        log.Write(product->Name() + L"\t" + product->Version().value_or(L"unknown"));
        log.EndLine();
    }
    return code;
}
