#include "ui/DialogRemoval.h"

#include <set>

namespace {

using C = Component;

// The components that stop a removal of the client, in the order the
// warning names them, with the damage the removal would do to each.
struct Dependent {
    Component component;
    const wchar_t* damage;
};
constexpr Dependent kClientDependents[] = {
    {C::Relay, L"destroy the relay configuration\r\n"},
    {C::Server, L"destroy the server configuration\r\n"},
    {C::ClientDeployTool, L"impair the client deploy tool capabilities\r\n"},
};

bool IsInstalled(const Catalogue& catalogue, Component c) {
    const ORVProduct* product = catalogue.Get(c);
    return product != nullptr && product->installed;
}

std::wstring DependencyWarning(const Catalogue& catalogue) {
    std::wstring text = L"Removing the client will:\r\n";
    for (const Dependent& d : kClientDependents)
        if (IsInstalled(catalogue, d.component)) text += d.damage;
    text += L"\r\nIn order to remove the client, you must also remove the following components:\r\n";
    for (const Dependent& d : kClientDependents)
        if (IsInstalled(catalogue, d.component)) text += catalogue.Get(d.component)->Name() + L"\r\n";
    return text;
}

}  // namespace

DialogRemovalPlan PlanDialogRemoval(const Catalogue& catalogue, const std::vector<ORVProduct*>& chosen) {
    std::set<ORVProduct*> set(chosen.begin(), chosen.end());
    const auto contains = [&](Component c) {
        ORVProduct* product = catalogue.Get(c);
        return product != nullptr && set.count(product) != 0;
    };
    DialogRemovalPlan plan;
    if (contains(C::Agent)) {
        for (const Dependent& d : kClientDependents) {
            if (IsInstalled(catalogue, d.component) && !contains(d.component)) {
                plan.dependencyWarning = DependencyWarning(catalogue);
                return plan;
            }
        }
        if (IsInstalled(catalogue, C::LoggingService)) set.insert(catalogue.Get(C::LoggingService));
    }
    if (contains(C::LoggingService) && IsInstalled(catalogue, C::DLP)) set.insert(catalogue.Get(C::DLP));
    for (Component c : kDialogRemovalOrder)
        if (contains(c)) plan.order.push_back(catalogue.Get(c));
    return plan;
}

std::wstring ConfirmRemovalText(const std::vector<ORVProduct*>& selected) {
    if (selected.size() == 1) return L"Are you sure you want to remove \"" + selected.front()->Name() + L"\"?";
    return L"Are you sure you want to remove the " + std::to_wstring(static_cast<int>(selected.size())) +
           L" selected components?";
}

std::wstring ConfirmRemoveAllText(size_t installedCount) {
    return L"Are you sure you want to remove all " + std::to_wstring(static_cast<int>(installedCount)) +
           L" installed components?";
}

std::wstring RemovalSummaryText(bool allSucceeded, size_t removedCount, bool restartNeeded) {
    std::wstring text = allSucceeded
                            ? L"Successfully removed " + std::to_wstring(static_cast<unsigned>(removedCount)) +
                                  L" products."
                            : L"Some errors were encountered.  See the log for details.";
    if (restartNeeded) text += L"\n\nWindows must be restarted to finish the removal.";
    return text;
}
