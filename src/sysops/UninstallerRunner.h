#pragma once
// Runs a component's uninstaller and waits until it and every process it
// started have ended. The uninstaller runs inside a job object whose
// notifications go to an I/O completion port; the job's "no active process"
// notification ends the wait. There is no time-out.
//
// Test seams (platform/FaultInjection.h): "AssignProcessToJobObject",
// "WaitForSingleObject".

#include "log/Log.h"

#include <string>

// Writes "Running uninstaller for \"name\" with command " and the command on
// a line of its own, then "...waiting for the uninstaller to finish..." and,
// when the job is empty, "finished". The exit code is not read: true means
// every process of the job has ended. False after "...error creating
// process: ", "...error creating IO completion port" (the uninstaller is
// ended before it has run) or "...wait failed", each with its description.
bool RunUninstaller(const std::wstring& command, const std::wstring& name, Remove::Log& log);
