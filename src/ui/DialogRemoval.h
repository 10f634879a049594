#pragma once
// The dialog's own rules for a removal request: the warning that stops a
// removal of the client while components that depend on it stay, the
// components a removal of the client brings along, and the order in which
// the dialog removes them. They are not those of silent mode.

#include "app/Catalogue.h"

#include <optional>
#include <string>
#include <vector>

struct DialogRemovalPlan {
    // Set when the request must not run; nothing is removed then.
    std::optional<std::wstring> dependencyWarning;
    // The components to remove, in the dialog's removal order.
    std::vector<ORVProduct*> order;
};

// Plans the removal of the chosen components of the catalogue. The rules
// read only the components' installed fields.
DialogRemovalPlan PlanDialogRemoval(const Catalogue& catalogue, const std::vector<ORVProduct*>& chosen);

// The texts of the dialog's questions and summaries.
std::wstring ConfirmRemovalText(const std::vector<ORVProduct*>& selected);
std::wstring ConfirmRemoveAllText(size_t installedCount);
// restartNeeded adds the line that Windows must be restarted to finish.
std::wstring RemovalSummaryText(bool allSucceeded, size_t removedCount, bool restartNeeded = false);
