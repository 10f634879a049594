#pragma once
// A narrow seam for tests: makes one named Windows call report a chosen
// error code, for failures that Wine cannot produce (it enforces no DACLs,
// for example). Call sites guard the real call:
//
//     if (DWORD fault = WindowsPlatform::InjectedFault("RegDeleteKeyW")) status = fault;
//     else status = RegDeleteKeyW(...);
//
// Nothing is injected unless a test asks for it.

#include <windows.h>

namespace WindowsPlatform {

// The code to report instead of calling the named function, or 0 to make
// the real call. Counts the call against the fault's limits.
DWORD InjectedFault(const char* callName);

// From now on, calls of callName report code: the first skip calls are made
// for real, then up to times calls fail (times < 0: every later call).
void InjectFault(const char* callName, DWORD code, int skip = 0, int times = -1);
void ClearFault(const char* callName);
void ClearAllFaults();

// Injects for the life of the object.
class ScopedFault {
public:
    ScopedFault(const char* callName, DWORD code, int skip = 0, int times = -1) : name_(callName) {
        InjectFault(callName, code, skip, times);
    }
    ~ScopedFault() { ClearFault(name_); }
    ScopedFault(const ScopedFault&) = delete;
    ScopedFault& operator=(const ScopedFault&) = delete;

private:
    const char* name_;
};

}  // namespace WindowsPlatform
