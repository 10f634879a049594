#include "LabProfiles.h"

#include "LabError.h"
#include "LabFiles.h"
#include "MachinePaths.h"
#include "ProfileInstallerRecords.h"
#include "Snapshot.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cwchar>
#include <string>

using WindowsPlatform::UniqueKernelHandle;
using WindowsPlatform::UniqueRegistryKey;

namespace Lab {

const wchar_t kProfileSuiteKey[] = L"Software\\Orvalis";
const wchar_t kProfileBystanderKey[] = L"Software\\Kestrel\\Backup Agent";

namespace {

const wchar_t kProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// Where the lab builds a hive before it saves it, and where it loads a hive
// file to look into it.
const wchar_t kBuildKey[] = L"Software\\ORVLab Hive";
const wchar_t kLookName[] = L"ORVLab-look";

struct ProfileShape {
    const wchar_t* name;
    const wchar_t* sid;
    const wchar_t* localAppData;  // REG_EXPAND_SZ value; nullptr: none (the usual place)
    const wchar_t* documents;
    bool loaded;
};

const ProfileShape kShapes[] = {
    {L"alice", L"S-1-5-21-0-0-0-1001", L"%USERPROFILE%\\AppData\\Local", nullptr, true},
    {L"bob", L"S-1-5-21-0-0-0-1002", L"%USERPROFILE%\\Local Data", L"%USERPROFILE%\\My Files", false},
};

std::wstring Expand(const wchar_t* value, const std::wstring& folder, const wchar_t* usual) {
    if (value == nullptr) return folder + usual;
    std::wstring text = value;
    text.replace(0, wcslen(L"%USERPROFILE%"), folder);
    return text;
}

LabProfile FromShape(const ProfileShape& shape) {
    LabProfile profile;
    profile.name = shape.name;
    profile.sid = shape.sid;
    profile.folder = std::wstring(L"C:\\users\\") + shape.name;
    profile.localAppData = Expand(shape.localAppData, profile.folder, L"\\AppData\\Local");
    profile.documents = Expand(shape.documents, profile.folder, L"\\Documents");
    profile.loaded = shape.loaded;
    return profile;
}

void EnableHivePrivileges() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()))
        ThrowLastError(L"OpenProcessToken", L"");
    for (const wchar_t* name : {SE_BACKUP_NAME, SE_RESTORE_NAME}) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid))
            ThrowLastError(L"LookupPrivilegeValueW", name);
        if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr))
            ThrowLastError(L"AdjustTokenPrivileges", name);
    }
}

void Unload(const std::wstring& name) {
    if (KeyExists(Hku(name))) ThrowIfFailed(RegUnLoadKeyW(HKEY_USERS, name.c_str()), L"RegUnLoadKeyW", name);
}

void Load(const std::wstring& name, const std::wstring& file) {
    ThrowIfFailed(RegLoadKeyW(HKEY_USERS, name.c_str(), file.c_str()), L"RegLoadKeyW", name + L" " + file);
}

// Saves the key's tree as a hive file, replacing the file.
void SaveHive(const RegKey& key, const std::wstring& file) {
    DeleteFileAt(file);
    UniqueRegistryKey opened;
    ThrowIfFailed(RegOpenKeyExW(key.root, key.path.c_str(), 0, KEY_READ, opened.Put()), L"RegOpenKeyExW", key.Text());
    ThrowIfFailed(RegSaveKeyW(opened.Get(), file.c_str(), nullptr), L"RegSaveKeyW", file);
}

void PlantHiveKeys(const RegKey& root, const ProfileShape& shape) {
    const RegKey folders = root.Sub(kShellFolders);
    CreateKey(folders);
    if (shape.localAppData) SetValue(folders, TextValue(L"Local AppData", shape.localAppData, REG_EXPAND_SZ));
    if (shape.documents) SetValue(folders, TextValue(L"Personal", shape.documents, REG_EXPAND_SZ));
    const std::wstring server = std::wstring(shape.name) + L"-server";
    SetValue(root.Sub(L"Software\\Orvalis\\Enterprise Console"), TextValue(L"LastServer", server));
    SetValue(root.Sub(L"Software\\Orvalis\\ORV Client"), TextValue(L"LastServer", server));
    SetValue(root.Sub(kProfileBystanderKey), TextValue(L"Schedule", L"daily"));
    SetValue(root.Sub(L"Software\\Orvalis Labs\\Tools"), NumberValue(L"Enabled", 1));
}

void PlantFiles(const LabProfile& profile) {
    WriteBytes(profile.localAppData + L"\\Orvalis\\Enterprise Console\\console.layout", "<layout/>\r\n");
    WriteBytes(profile.localAppData + L"\\Orvalis\\ORV Client\\state.dat", "state\r\n");
    WriteBytes(profile.documents + L"\\ORVCredentials\\orv-server.cred", "user=orvadmin\r\n", true);
    WriteBytes(profile.localAppData + L"\\Kestrel\\backup.ini", "[Backup]\r\n");
    WriteBytes(profile.localAppData + L"\\Orvalis Labs\\tools.ini", "[Tools]\r\n");
    WriteBytes(profile.documents + L"\\ORVCredentials Archive\\old.cred", "user=old\r\n");
    WriteBytes(profile.documents + L"\\notes.txt", "notes\r\n");
}

void PlantProfile(const ProfileShape& shape) {
    const LabProfile profile = FromShape(shape);
    MakeFolders(profile.folder);
    const RegKey build = Hku(CurrentUserHive() + L"\\" + kBuildKey);
    DeleteTree(build);
    PlantHiveKeys(build, shape);
    SaveHive(build, profile.HiveFile());
    DeleteTree(build);
    if (shape.loaded) Load(profile.sid, profile.HiveFile());
    SetValue(Hklm64(std::wstring(kProfileList) + L"\\" + profile.sid),
             TextValue(L"ProfileImagePath", L"%SystemDrive%\\users\\" + profile.name, REG_EXPAND_SZ));
    PlantFiles(profile);
}

}  // namespace

std::vector<LabProfile> LabProfiles() {
    std::vector<LabProfile> profiles;
    for (const auto& shape : kShapes) profiles.push_back(FromShape(shape));
    return profiles;
}

std::vector<LabProfile> PlantProfiles() {
    EnableHivePrivileges();
    for (const auto& shape : kShapes) PlantProfile(shape);
    return LabProfiles();
}

std::vector<std::wstring> ProfileSuitePrefixes() {
    std::vector<std::wstring> prefixes;
    for (const LabProfile& profile : LabProfiles()) {
        prefixes.push_back(RegPrefix(Hku(profile.sid + L"\\" + kProfileSuiteKey)));
        prefixes.push_back(FilePrefix(profile.localAppData + L"\\Orvalis"));
        prefixes.push_back(FilePrefix(profile.documents + L"\\ORVCredentials"));
    }
    return prefixes;
}

std::vector<std::wstring> ProfileBystanderPrefixes() {
    std::vector<std::wstring> prefixes;
    for (const LabProfile& profile : LabProfiles()) {
        prefixes.push_back(RegPrefix(Hku(profile.sid + L"\\Software\\Kestrel")));
        prefixes.push_back(RegPrefix(Hku(profile.sid + L"\\Software\\Orvalis Labs")));
        prefixes.push_back(FilePrefix(profile.localAppData + L"\\Kestrel"));
        prefixes.push_back(FilePrefix(profile.localAppData + L"\\Orvalis Labs"));
        prefixes.push_back(FilePrefix(profile.documents + L"\\ORVCredentials Archive"));
        prefixes.push_back(FilePrefix(profile.documents + L"\\notes.txt"));
        prefixes.push_back(FilePrefix(profile.HiveFile()));
    }
    return prefixes;
}

bool HiveFileHasKey(const LabProfile& profile, const std::wstring& path) {
    EnableHivePrivileges();
    Load(kLookName, profile.HiveFile());
    const bool found = KeyExists(Hku(std::wstring(kLookName) + L"\\" + path));
    Unload(kLookName);
    return found;
}

void DeleteFromHiveFile(const LabProfile& profile, const std::wstring& path) {
    EditHive(profile, [&](const RegKey& root) { DeleteTree(root.Sub(path)); });
}

void EditHive(const LabProfile& profile, const std::function<void(const RegKey& root)>& edit) {
    if (profile.loaded) {
        edit(Hku(profile.sid));
        return;
    }
    EnableHivePrivileges();
    Load(kLookName, profile.HiveFile());
    const std::wstring written = profile.HiveFile() + L".new";
    try {
        edit(Hku(kLookName));
        SaveHive(Hku(kLookName), written);
    } catch (...) {
        Unload(kLookName);
        throw;
    }
    Unload(kLookName);
    if (!MoveFileExW(written.c_str(), profile.HiveFile().c_str(), MOVEFILE_REPLACE_EXISTING))
        ThrowLastError(L"MoveFileExW", written);
}

std::wstring PlantDefaultProfile() {
    EnableHivePrivileges();
    const std::wstring folder = L"C:\\users\\Default";
    MakeFolders(folder);
    const RegKey build = Hku(CurrentUserHive() + L"\\" + kBuildKey);
    DeleteTree(build);
    SetValue(build.Sub(L"Software\\Orvalis\\ORV Client"), TextValue(L"LastServer", L"default-server"));
    SetValue(build.Sub(kProfileBystanderKey), TextValue(L"Schedule", L"daily"));
    SaveHive(build, folder + L"\\NTUSER.DAT");
    DeleteTree(build);
    WriteBytes(folder + L"\\AppData\\Local\\Orvalis\\ORV Client\\state.dat", "state\r\n");
    WriteBytes(folder + L"\\AppData\\Local\\Kestrel\\backup.ini", "[Backup]\r\n");
    return folder;
}

void PlantBenchProfiles(unsigned first, unsigned last) {
    EnableHivePrivileges();
    const std::wstring hive = L"C:\\users\\bench-hive.dat";
    const RegKey build = Hku(CurrentUserHive() + L"\\" + kBuildKey);
    DeleteTree(build);
    SetValue(build.Sub(kShellFolders), TextValue(L"Local AppData", L"%USERPROFILE%\\AppData\\Local", REG_EXPAND_SZ));
    SetValue(build.Sub(kProfileBystanderKey), TextValue(L"Schedule", L"daily"));
    SaveHive(build, hive);
    DeleteTree(build);
    for (unsigned i = first; i < last; ++i) {
        const std::wstring name = L"bench" + std::to_wstring(i);
        const std::wstring folder = L"C:\\users\\" + name;
        MakeFolders(folder + L"\\AppData\\Local");
        CopyFileTo(hive, folder + L"\\NTUSER.DAT");
        SetValue(Hklm64(std::wstring(kProfileList) + L"\\S-1-5-21-0-0-1-" + std::to_wstring(i)),
                 TextValue(L"ProfileImagePath", folder, REG_EXPAND_SZ));
    }
    DeleteFileAt(hive);
}

void RemoveBenchProfiles() {
    for (const std::wstring& sid : Subkeys(Hklm64(kProfileList))) {
        if (sid.rfind(L"S-1-5-21-0-0-1-", 0) != 0) continue;
        DeleteTree(Hklm64(std::wstring(kProfileList) + L"\\" + sid));
        DeleteFolderTree(L"C:\\users\\bench" + sid.substr(15));
    }
}

void RemoveProfiles() {
    EnableHivePrivileges();
    Unload(kLookName);
    DeleteTree(Hku(CurrentUserHive() + L"\\" + kBuildKey));
    for (const LabProfile& profile : LabProfiles()) {
        for (const std::wstring& name : {profile.sid, L"ORVRemove-" + profile.sid}) Unload(name);
        DeleteTree(Hklm64(std::wstring(kProfileList) + L"\\" + profile.sid));
        DeleteTree(ProfileUserData(profile));
        DeleteFolderTree(profile.folder);
    }
    RemoveBenchProfiles();
    DeleteFolderTree(L"C:\\users\\Default");
}

}  // namespace Lab
