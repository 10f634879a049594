#pragma once
// Silent mode as a deployment tool runs it: the log file and the registry
// backup that the switches ask for, detection only or removal, and the
// process exit code.

#include "app/Catalogue.h"

#include <windows.h>

#include <functional>
#include <string>

// What an unattended run takes from the machine; tests replace parts.
struct UnattendedParts {
    std::function<Catalogue(Remove::Log&)> makeCatalogue = MakeCatalogue;
    std::function<void(Remove::Log&)> rootCleanup;  // empty: the real root cleanup
    SYSTEMTIME now{};                               // wYear 0: the local time at the start
};

// Runs silent mode for the whole argument text and returns the exit code
// (SilentExitCode). "/log=PATH" sends the log to that file (created with
// its missing folders, replaced when it exists); when it cannot be created
// nothing at all happens and the code is 4. "/detect" detects only, and
// without "/log=" writes its report to standard output when the process
// has one. "/whatif" (unless "/detect" is given) writes the removal plan of
// the selection and changes nothing (RunSilentPlan), to standard output as
// well when there is no "/log=". "/backup=FOLDER" writes to a new file in
// FOLDER (created when missing), before each component's removal, every
// registry key and value that the removal may delete (app/BackupPlan.h), and
// every key tree before this program deletes it; when no file can be made
// there, nothing is removed and the code is 4. A removal's log ends with its
// exit code line.
int RunUnattended(const std::wstring& argumentText, const UnattendedParts& parts = {});
