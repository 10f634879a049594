#pragma once
// The default folder under Program Files of the components that have no
// edition list; computed once, and tried again on the next detection when
// the Program Files folder could not be had.

#include "log/Log.h"

#include <optional>
#include <string>

inline constexpr wchar_t kNoDefaultFolderLine[] = L"Cannot determine default install directory (old operating system?).";

// While folder is absent: sets it to Program Files followed by suffix and
// writes "Setting default path to ...", or writes failureLine.
void SetDefaultFolder(std::optional<std::wstring>& folder, const wchar_t* suffix, Remove::Log& log,
                      const wchar_t* failureLine = kNoDefaultFolderLine);
