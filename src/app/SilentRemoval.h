#pragma once
// Silent mode: removes the components named by switches without a window.

#include "app/Catalogue.h"

#include <functional>
#include <string>

extern const wchar_t kSilentUsageText[];

// Builds the catalogue on a log that discards everything and runs the
// silent removal with the real root cleanup.
void RunSilentRemoval(const std::wstring& argumentText);

// The removal itself, on a given catalogue. rootCleanup runs when nothing
// of the suite is left installed.
void RunSilentRemoval(const std::wstring& argumentText, const Catalogue& catalogue, Remove::Log& log,
                      const std::function<void(Remove::Log&)>& rootCleanup);

// The refusal text of the agent dependency rule, or empty when the rule
// lets the removal go ahead.
std::wstring AgentDependencyRefusal(const Catalogue& catalogue, const std::function<bool(ORVProduct*)>& selected);
