#pragma once
// The lab machine for the removal benchmark, and the batch script an
// administrator would write to remove the same suite by hand: each
// component's own uninstaller as the remover would run it (msiexec /x ...
// /qn, the InstallShield setups with their response files), then sc stop
// and sc delete for every service, rd /s /q for every folder, del for every
// file and reg delete for every key and value that planting the suite added.

#include "Lab.h"

#include <string>
#include <vector>

namespace Bench {

// Resets the machine, plants the bystanders and every component the lab
// knows (each with its usual setup, the console of a version that does not
// embed the deploy tool, Windows Installer packages with an
// uninstall string that removes them), and writes into folder:
// planted.txt (the snapshot lines planting added) and hand.cmd with its
// response files. Returns what was planted.
std::vector<Lab::Planted> PlantSuite(const std::wstring& folder);

// The number of lines of folder\planted.txt that the machine still has;
// they are written to folder\left.txt.
size_t CountLeft(const std::wstring& folder);

// The commands of the script, one a line, for the planted components and
// the lines planting added.
std::vector<std::wstring> HandRemovalCommands(const std::vector<Lab::Planted>& planted,
                                              const std::vector<std::wstring>& addedLines,
                                              const std::wstring& folder);

}  // namespace Bench
