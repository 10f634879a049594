#include "PlantRecord.h"

#include "LabFiles.h"
#include "LabText.h"
#include "MachinePaths.h"

#include <algorithm>

namespace Lab {
namespace {

std::wstring RecordPath() { return LabStateFolder() + L"\\planted.txt"; }

}  // namespace

std::vector<PlantedEntry> ReadPlantRecord() {
    std::vector<PlantedEntry> entries;
    const auto bytes = ReadBytes(RecordPath());
    if (!bytes) return entries;
    for (const auto& line : SplitLines(FromUtf8(*bytes))) {
        const size_t first = line.find(L'\t');
        const size_t second = line.find(L'\t', first + 1);
        if (first == std::wstring::npos || second == std::wstring::npos) continue;
        entries.push_back({line.substr(0, first), line.substr(first + 1, second - first - 1),
                           line.substr(second + 1)});
    }
    return entries;
}

void WritePlantRecord(const std::vector<PlantedEntry>& entries) {
    std::wstring text;
    for (const auto& e : entries) text += e.component + L"\t" + e.setup + L"\t" + e.localPackage + L"\r\n";
    WriteBytes(RecordPath(), ToUtf8(text));
}

void AddToPlantRecord(const PlantedEntry& entry) {
    auto entries = ReadPlantRecord();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const auto& e) { return e.component == entry.component; }),
                  entries.end());
    entries.push_back(entry);
    WritePlantRecord(entries);
}

bool IsPlanted(const std::wstring& component) {
    const auto entries = ReadPlantRecord();
    return std::any_of(entries.begin(), entries.end(), [&](const auto& e) { return e.component == component; });
}

}  // namespace Lab
