#pragma once
// The lab's record of what it planted, C:\lab\planted.txt: one line per
// planted component with its setup kind and, for a package, the copy that
// Windows Installer cached in C:\windows\Installer (its name is chosen at
// install time, so a reset could not find it otherwise).

#include <string>
#include <vector>

namespace Lab {

struct PlantedEntry {
    std::wstring component;
    std::wstring setup;         // "msi", "installshield", "none"
    std::wstring localPackage;  // empty unless a package was installed
};

std::vector<PlantedEntry> ReadPlantRecord();
void WritePlantRecord(const std::vector<PlantedEntry>& entries);
void AddToPlantRecord(const PlantedEntry& entry);
bool IsPlanted(const std::wstring& component);

}  // namespace Lab
