#pragma once
// Starting programs from the lab: msiexec for the packages, the lab setup
// in tests of the lab itself.

#include <windows.h>

#include <string>

namespace Lab {

// Runs the command line, waits for the process (at most timeoutMs) and
// returns its exit code. Throws when it cannot start or does not end.
DWORD RunAndWait(const std::wstring& commandLine, DWORD timeoutMs = 120000);

// Starts the command line and returns without waiting.
void StartDetached(const std::wstring& commandLine);

// The full path of the running program and its folder.
std::wstring ThisProgram();
std::wstring ThisProgramFolder();

}  // namespace Lab
