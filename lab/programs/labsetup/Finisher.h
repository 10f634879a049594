#pragma once
// What a setup leaves to a process of its own, as InstallShield does: its
// own folder (a running program cannot delete itself) and, when the
// manifest asks for a child that outlives the setup, the Uninstall entry a
// chosen time later. The finisher runs from a copy in C:\lab\finishers,
// outside every snapshot, waits for the setup to end, and is logged as the
// setup's "child".

#include "SetupManifest.h"

#include <string>

namespace LabSetup {

void StartFinisher(const Lab::SetupManifest& manifest, const std::wstring& manifestPath);

bool IsFinisherCommand(const std::wstring& tail);
DWORD RunFinisher(const std::wstring& commandLine);

// Deletes the keys that go last: the Uninstall entry.
void RemoveLastPart(const Lab::SetupManifest& manifest);

}  // namespace LabSetup
