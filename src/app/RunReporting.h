#pragma once
// The run report of an unattended run ("/report=PATH"): gathered from the
// start of the run to its end and written as one JSON document
// (docs/report.md) when the exit code is known.

#include "app/FailedStepLog.h"
#include "app/RunRecorder.h"
#include "app/SilentOptions.h"
#include "app/SilentRemoval.h"

#include <optional>
#include <string>

class RunReporting {
public:
    // Starts gathering; log is the run's log, which the run must write
    // through Log() from now on.
    RunReporting(const SilentOptions& options, const std::wstring& argumentText, Remove::Log& log);
    RunReporting(const RunReporting&) = delete;
    RunReporting& operator=(const RunReporting&) = delete;

    Remove::Log& Log() { return log_; }
    // The observer of a plan ("/whatif").
    PlanObserver* Plan() { return &recorder_; }

    // Writes the report when one was asked for and returns the code the run
    // ends with. A report that cannot be written is logged ("Report: cannot
    // be written to \"PATH\": " and the reason) and turns 0, 5 and 3010 into
    // 4; codes 1, 2 and 3 stay, as they tell more about the machine.
    SilentExitCode Finish(SilentExitCode code);

private:
    std::optional<std::wstring> path_;
    RunRecorder recorder_;
    Remove::FailedStepLog log_;
    ScopedRunObserver events_;
    ScopedRemovalProgress progress_;
};
