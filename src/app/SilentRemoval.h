#pragma once
// Silent mode: removes the components named by switches without a window.

#include "app/Catalogue.h"
#include "sysops/ActionPlan.h"

#include <functional>
#include <string>

extern const wchar_t kSilentUsageText[];

// The outcome of a silent run, which is also the process exit code.
enum class SilentExitCode : int {
    Removed = 0,              // every selected component is gone (or none was installed)
    NothingSelected = 1,      // no selection switch: the usage text was shown
    Refused = 2,              // the agent dependency rule refused the removal
    StillInstalled = 3,       // a selected component is still installed after its removal
    LocationNotWritable = 4,  // the log or the registry backup could not be written
    ComponentsInstalled = 5,  // detection only: at least one component is installed
    RestartNeeded = 3010,     // every selected component is gone; Windows must restart to finish
};

// "Exit code 3: a selected component is still installed", the last line of
// a removal's log.
std::wstring ExitCodeLine(SilentExitCode code);

// Shows a box of the silent run; its text also goes to the log, so that a
// run nobody watched still tells why it stopped.
void ShowSilentBox(Remove::Log& log, const std::wstring& text, unsigned type);

// The removal itself, on a given catalogue; argumentText is matched for
// switches as it is. rootCleanup runs when nothing of the suite is left
// installed. The texts of the message boxes also go to the log. Returns
// Removed, NothingSelected, Refused, StillInstalled or, when every selected
// component is gone but Windows must be restarted to finish
// (sysops/RestartNeed.h), RestartNeeded.
// beforeRemoval, when given, is called just before each component's removal;
// false leaves the component as it is.
SilentExitCode RunSilentRemoval(const std::wstring& argumentText, const Catalogue& catalogue, Remove::Log& log,
                                const std::function<void(Remove::Log&)>& rootCleanup,
                                const std::function<bool(ORVProduct&)>& beforeRemoval = {});

// The same selection and detection as RunSilentRemoval, then the removal of
// every selected installed component in plan mode (sysops/ActionPlan.h):
// nothing is changed, every step that would act writes its plan line and
// goes to observer (which may be null). When no component outside the
// selection is installed, the root cleanup follows in plan mode after a line
// that says so. Ends the log with "Planned actions: N (exit code C)" and
// returns ComponentsInstalled (5) when anything would be removed, Removed (0)
// when nothing would. No selection writes the usage text, a refusal of the
// agent dependency rule its text, to the log only: NothingSelected or
// Refused. Shows no message box.
SilentExitCode RunSilentPlan(const std::wstring& argumentText, const Catalogue& catalogue, Remove::Log& log,
                             const std::function<void(Remove::Log&)>& rootCleanup, PlanObserver* observer = nullptr);

// Detects every component in the silent detection order and removes
// nothing; ends the log with "Installed components: N (exit code C)" and one
// line per installed component, its name, a tab and its version ("unknown"
// when it has none). Returns Removed (0) when nothing is installed,
// ComponentsInstalled (5) otherwise. Shows no message box.
SilentExitCode RunSilentDetection(const Catalogue& catalogue, Remove::Log& log);

// The refusal text of the agent dependency rule, or empty when the rule
// lets the removal go ahead.
std::wstring AgentDependencyRefusal(const Catalogue& catalogue, const std::function<bool(ORVProduct*)>& selected);
