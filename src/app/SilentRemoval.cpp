#include "app/SilentRemoval.h"

#include "app/CommandLine.h"
#include "app/RemovalProgress.h"
#include "platform/MessageBox.h"
#include "sysops/ActionPlan.h"
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

namespace {

// The components a silent run removes, chosen by the switches.
struct Selection {
    std::set<ORVProduct*> products;
    bool any = false;  // a selection switch was given, whether or not its component exists

    bool Has(const ORVProduct* product) const {
        return product != nullptr && products.count(const_cast<ORVProduct*>(product)) != 0;
    }
};

// Selection and detection interleave: every component is detected, selected
// or not.
Selection SelectAndDetect(const std::wstring& argumentText, const Catalogue& catalogue) {
    const bool all = HasSwitch(argumentText, L"/all");
    Selection selection;
    for (Component component : kSilentDetectionOrder) {
        ORVProduct* product = catalogue.Get(component);
        if (all || HasSwitch(argumentText, SilentSwitch(component))) {
            selection.any = true;
            if (product != nullptr) selection.products.insert(product);
        }
        ProgressTurning(component);  // run report
        if (product != nullptr) product->Detect();
        ProgressDetected(component, product, selection.Has(product));  // run report
    }
    return selection;
}

// The agent dependency rule's refusal, or empty.
std::wstring Refusal(const std::wstring& argumentText, const Catalogue& catalogue, const Selection& selection) {
    ORVProduct* agent = catalogue.Get(Component::Agent);
    if (HasSwitch(argumentText, L"/force") || !selection.Has(agent)) return {};
    return AgentDependencyRefusal(catalogue, [&selection](ORVProduct* p) { return selection.Has(p); });
}

// Implied removals, whether or not the implied components are installed.
void AddImpliedRemovals(const Catalogue& catalogue, Selection& selection) {
    ORVProduct* loggingService = catalogue.Get(Component::LoggingService);
    ORVProduct* dlp = catalogue.Get(Component::DLP);
    if (selection.Has(catalogue.Get(Component::Agent)) && loggingService != nullptr) {
        selection.products.insert(loggingService);
        ProgressSelected(Component::LoggingService);  // run report
    }
    if (selection.Has(loggingService) && dlp != nullptr) {
        selection.products.insert(dlp);
        ProgressSelected(Component::DLP);  // run report
    }
}

// Counts the plan's actions that remove something and passes every action on.
class CountingObserver : public PlanObserver {
public:
    explicit CountingObserver(PlanObserver* next) : next_(next) {}
    void Planned(const PlannedAction& action) override {
        if (RemovesSomething(action)) ++count;
        if (next_ != nullptr) next_->Planned(action);
    }
    size_t count = 0;

private:
    PlanObserver* next_;
};

void WriteLine(Remove::Log& log, const std::wstring& text) {
    log.Write(text);
    log.EndLine();
}

}  // namespace

SilentExitCode RunSilentRemoval(const std::wstring& argumentText, const Catalogue& catalogue, Remove::Log& log,
                                const std::function<void(Remove::Log&)>& rootCleanup,
                                const std::function<bool(ORVProduct&)>& beforeRemoval) {
    Selection selection = SelectAndDetect(argumentText, catalogue);
    const std::wstring refusal = Refusal(argumentText, catalogue, selection);
    if (!refusal.empty()) {
        ShowSilentBox(log, refusal, MB_ICONERROR);
        return SilentExitCode::Refused;
    }
    AddImpliedRemovals(catalogue, selection);

    bool remaining = false;
    for (Component component : kSilentRemovalOrder) {
        ORVProduct* product = catalogue.Get(component);
        if (product == nullptr) continue;
        ProgressTurning(component);  // run report
        if (product->installed && selection.Has(product) && (!beforeRemoval || beforeRemoval(*product)))
            product->Remove();
        product->Detect();
        ProgressDetected(component, product, selection.Has(product));  // run report
        // A2A, last in the order, is judged on its own below.
        if (component != Component::A2A && product->installed) remaining = true;
    }
    if (!IsInstalled(catalogue.Get(Component::A2A)) && !remaining) {
        // The banner the dialog writes before the same cleanup.
        log.WriteRemovalBanner(L"Folders and Registry keys");
        ProgressCleaningUp();  // run report
        rootCleanup(log);
    }

    if (!selection.any) {
        ShowSilentBox(log, kSilentUsageText, MB_OK);
        return SilentExitCode::NothingSelected;
    }
    for (ORVProduct* product : selection.products)
        if (product->installed) return SilentExitCode::StillInstalled;
    return RestartNeeded() ? SilentExitCode::RestartNeeded : SilentExitCode::Removed;
}

SilentExitCode RunSilentPlan(const std::wstring& argumentText, const Catalogue& catalogue, Remove::Log& log,
                             const std::function<void(Remove::Log&)>& rootCleanup, PlanObserver* observer) {
    Selection selection = SelectAndDetect(argumentText, catalogue);
    if (!selection.any) {
        WriteLine(log, kSilentUsageText);
        return SilentExitCode::NothingSelected;
    }
    const std::wstring refusal = Refusal(argumentText, catalogue, selection);
    if (!refusal.empty()) {
        WriteLine(log, refusal);
        return SilentExitCode::Refused;
    }
    AddImpliedRemovals(catalogue, selection);

    CountingObserver counter(observer);
    const ScopedPlanMode plan(&counter);
    bool remaining = false;
    for (Component component : kSilentRemovalOrder) {
        ORVProduct* product = catalogue.Get(component);
        if (product == nullptr || !product->installed) continue;
        ProgressTurning(component);  // run report
        if (selection.Has(product))
            product->Remove();
        else
            remaining = true;
    }
    if (!remaining) {
        log.EndLine();
        WriteLine(log, L"When nothing of the suite is left, the removal ends with the cleanup of the suite's root folders and keys:");
        log.WriteRemovalBanner(L"Folders and Registry keys");
        ProgressCleaningUp();  // run report
        rootCleanup(log);
    }
    const SilentExitCode code = counter.count == 0 ? SilentExitCode::Removed : SilentExitCode::ComponentsInstalled;
    log.EndLine();
    WriteLine(log, L"Planned actions: " + std::to_wstring(counter.count) + L" (exit code " +
                       std::to_wstring(static_cast<int>(code)) + L")");
    return code;
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
