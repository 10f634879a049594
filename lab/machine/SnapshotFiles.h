#pragma once
// The file part of a snapshot.

#include <string>
#include <vector>

namespace Lab {

// Appends a line for every folder and file below root (a drive such as
// "C:"), leaving out the folders whose paths are in skipped (compared
// without regard to case) unless they lie on the way to one in kept.
void SnapshotFileTree(const std::wstring& root, const std::vector<std::wstring>& skipped,
                      const std::vector<std::wstring>& kept, std::vector<std::wstring>& lines);

}  // namespace Lab
