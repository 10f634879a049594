#pragma once
// One run of the lab setup as an uninstaller.

#include "SetupManifest.h"

#include <string>

namespace LabSetup {

// The command line after the program, with its leading blank.
std::wstring CommandTail(const std::wstring& commandLine);

// Checks the command line and the response file against the manifest,
// removes the product (or leaves it, as the manifest says), logs the run
// and returns the exit code.
DWORD RunUninstall(const Lab::SetupManifest& manifest, const std::wstring& manifestPath,
                   const std::wstring& commandLine);

}  // namespace LabSetup
