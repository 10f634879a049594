#pragma once
// Finds which edition of a component still has registry traces, and purges
// them after its uninstaller has run. Nothing here throws.

#include "log/Log.h"

#include <optional>
#include <string>
#include <vector>

// The first edition name, in list order, that still has an Uninstall entry,
// an installer record, an install location or a display version. Writes
// nothing to any log.
std::optional<std::wstring> FindInstalledEdition(const std::vector<std::wstring>& editionNames);

// Removes the Uninstall entries and installer records of nameFound, then of
// whichever edition still has traces, until none has or 100 passes have run.
// Each pass starts with "Found product \"<name>\".  Attempting to remove all
// traces of it from registry...". After the 100th pass a message box asks
// the user to read the log and the result is false. Otherwise true when
// every deletion succeeded; an absent nameFound gives true and writes nothing.
bool PurgeRegistryTraces(std::optional<std::wstring> nameFound, const std::vector<std::wstring>& editionNames,
                         Remove::Log& log);

// Passes after which PurgeRegistryTraces gives up.
constexpr int kRegistryPurgePassLimit = 100;
