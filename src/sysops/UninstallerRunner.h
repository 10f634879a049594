#pragma once
// Runs a component's uninstaller and waits until it and every process it
// started have ended. The uninstaller runs inside a job object whose
// notifications go to an I/O completion port; the job's "no active process"
// notification ends the wait.
//
// The uninstaller leaves any job the runner itself runs in. Where that job
// forbids breakaway, the uninstaller stays in it and goes into a job of the
// runner's own nested in it; where jobs do not nest either (Windows 7), the
// runner waits for the processes it finds by their parent process ids
// (sysops/ProcessTreeWait.h).
//
// Test seams (platform/FaultInjection.h): "AssignProcessToJobObject",
// "WaitForSingleObject".

#include "log/Log.h"

#include <optional>
#include <string>

// Limits every later run, with everything it started, to the given seconds;
// absent (the default) waits without limit. At the limit the uninstaller and
// the processes it started are ended.
void LimitUninstallerRuns(std::optional<unsigned long> seconds);

// Writes "Running uninstaller for \"name\" with command " and the command on
// a line of its own, then "...waiting for the uninstaller to finish..." and,
// when every process has ended, "finished" (for exit codes 3010 and 1641
// "finished with exit code N: Windows must be restarted to finish the
// removal", and a restart is noted as needed). True means every process of
// the run has ended by itself. False after "...error creating process: ",
// "...error creating IO completion port" (the uninstaller is ended before it
// has run), "...wait failed", each with its description, or "did not finish
// within N seconds; it and the processes it started were ended".
bool RunUninstaller(const std::wstring& command, const std::wstring& name, Remove::Log& log);
