#pragma once
// Mini dumps of the process for exceptions that reach a guarded handler.
// g++ raises no structured exception for a C++ throw, so the dump is written
// from inside the catch handler: the exception in flight decides whether a
// dump is due, and the registry switches decide whether and where it is
// written.
//
// Switches (REG_DWORD):
// - HKLM "Software\\Orvalis" "WriteMiniDumps": 0 switches dumps off
//   (default on, also without the key);
// - HKLM "Software\\Orvalis" "MaxDumpFiles": files kept per executable,
//   numbered from 0 and reused in turn (default 5); 1 is one file without a
//   number; 0 numbers without wrapping around;
// - HKCU "Software\\Orvalis" "MINIDUMP_TYPE": the MINIDUMP_TYPE flags
//   (default 0, MiniDumpNormal);
// - HKCU "Software\\Orvalis\\Minidumps", value named after the executable:
//   the number of the next dump file, kept by the writer.
// The dump goes to "Orvalis" under the user's local application data
// folder, named after the executable ("ORVRemove_0.dmp"); when running as
// SYSTEM, next to the executable.

#include <windows.h>

#include <string>
#include <utility>

namespace WindowsPlatform {

// Whether the exception in flight calls for a dump: any C++ exception
// except one deriving from NonDumpableException. False outside a handler.
bool IsDumpableCurrentException() noexcept;

// Writes a dump for the exception in flight when it is dumpable and dumps
// are switched on. Call only inside a catch handler. Never throws; true when
// a dump file was written.
bool WriteMiniDumpForCurrentException() noexcept;

// Runs work; an exception that leaves it produces a dump (as above) and is
// then dropped. For signals emitted from window handlers, where no
// exception may pass.
template <class Work>
void RunInsideDumpGuard(Work&& work) noexcept {
    try {
        std::forward<Work>(work)();
    } catch (...) {
        WriteMiniDumpForCurrentException();
    }
}

// --- Parts of the writer, for tests ---

struct MiniDumpSettings {
    bool enabled = true;
    DWORD type = 0;
    // Numbers wrap around at this value; 1 means a single unnumbered file.
    DWORD maxFiles = 5;
};

MiniDumpSettings ReadMiniDumpSettings() noexcept;

// "ORVRemove.exe" with number 3 gives "ORVRemove_3.dmp"; without a number
// (maxFiles 1) "ORVRemove.dmp". The last extension is replaced; a name
// without one gets ".dmp" appended.
std::wstring DumpFileName(const std::wstring& executableName, const DWORD* number);

// The path of the next dump file for this user and limit, with its folder
// created; takes a number from the counter unless maxFiles is 1. Empty when
// no path can be made (or it would exceed MAX_PATH - 1 characters).
std::wstring NextMiniDumpPath(const std::wstring& userName, DWORD maxFiles) noexcept;

}  // namespace WindowsPlatform
