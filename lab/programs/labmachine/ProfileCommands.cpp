#include "ProfileCommands.h"

#include "LabError.h"
#include "LabProfiles.h"
#include "LabText.h"

#include <windows.h>

#include <cstdio>

namespace LabMachineTool {
namespace {

void Print(const std::wstring& text) {
    const std::string bytes = Lab::ToUtf8(text);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void PrintProfiles(const std::vector<Lab::LabProfile>& profiles) {
    for (const Lab::LabProfile& profile : profiles)
        Print(profile.name + L" " + profile.sid + L" " + profile.folder + (profile.loaded ? L" loaded\n" : L" unloaded\n"));
}

Lab::LabProfile ProfileNamed(const std::wstring& name) {
    for (const Lab::LabProfile& profile : Lab::LabProfiles())
        if (profile.name == name) return profile;
    throw Lab::Error(L"no lab profile named " + name);
}

void NeedArguments(const std::vector<std::wstring>& arguments, size_t count, const wchar_t* usage) {
    if (arguments.size() != count) throw Lab::Error(std::wstring(L"usage: labmachine ") + usage);
}

}  // namespace

void PlantProfilesCommand() { PrintProfiles(Lab::PlantProfiles()); }

void ListProfiles() { PrintProfiles(Lab::LabProfiles()); }

void HiveHas(const std::vector<std::wstring>& arguments) {
    NeedArguments(arguments, 2, L"hive-has <user> <key>");
    Print(Lab::HiveFileHasKey(ProfileNamed(arguments[0]), arguments[1]) ? L"yes\n" : L"no\n");
}

void HiveDelete(const std::vector<std::wstring>& arguments) {
    NeedArguments(arguments, 2, L"hive-delete <user> <key>");
    Lab::DeleteFromHiveFile(ProfileNamed(arguments[0]), arguments[1]);
}

void HiveClosed(const std::vector<std::wstring>& arguments) {
    NeedArguments(arguments, 1, L"hive-closed <user>");
    const std::wstring file = ProfileNamed(arguments[0]).HiveFile();
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    Print(handle != INVALID_HANDLE_VALUE ? L"yes\n" : L"no\n");
}

}  // namespace LabMachineTool
