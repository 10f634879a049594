#pragma once
// Logged service control on the local service control manager. Every
// operation opens and closes its own manager and service handles, writes one
// step line, catches every exception and reports a boolean; none throws. A
// service that does not exist is never an error.
//
// Test seams (platform/FaultInjection.h): "OpenSCManagerW", "ControlService",
// "DeleteService".

#include "log/Log.h"

#include <string>

// "Checking for \"name\" service..." then "exists" or "not found". True when
// the service opens with full access.
bool ServiceExists(const std::wstring& name, Remove::Log& log);

// "Checking if \"name\" is running..." then "service is running", "service
// not running" or "service does not exist". True only in SERVICE_RUNNING.
bool IsServiceRunning(const std::wstring& name, Remove::Log& log);

// "Stopping service \"name\"..." then sends the stop control (unless a stop
// is already pending) and polls the state up to 100 times, 100 ms apart,
// writing "." after every tenth poll. Ends with "stopped", "service is
// already stopped", "service does not exist" (all true) or "abandoning wait.
// Service not stopped." (false, the service is left running).
bool StopService(const std::wstring& name, Remove::Log& log);

// Stops the service (as StopService) and, once it is stopped, writes
// "Deleting service \"name\"..." and deletes it: "done" or "service does not
// exist" (true), or "failed to delete service: " and the error (false). A
// service that does not stop is not deleted and nothing more is written.
bool RemoveService(const std::wstring& name, Remove::Log& log);
