#pragma once
// The registry part of a snapshot.

#include <windows.h>

#include <string>
#include <vector>

namespace Lab {

// Appends the lines of the key opened from root at path (named display in
// the lines) and of everything below it, leaving out the keys whose display
// names are in skipped; links are listed, not followed.
void SnapshotRegistryTree(HKEY root, const std::wstring& path, const std::wstring& display,
                          const std::vector<std::wstring>& skipped, std::vector<std::wstring>& lines);

// The data of one value as the snapshot shows it: type and data.
std::wstring DescribeValue(DWORD type, const BYTE* data, DWORD size);

}  // namespace Lab
