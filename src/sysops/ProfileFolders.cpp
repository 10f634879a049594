#include "sysops/ProfileFolders.h"

#include "platform/Text.h"
#include "platform/UniqueHandle.h"
#include "sysops/Registry.h"
#include "sysops/RegistryQuery.h"

#include <cwchar>

namespace {

const wchar_t kUserShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The value's text, expanded for the profile; empty when it is missing,
// empty or of another type.
std::wstring FolderValue(HKEY key, const wchar_t* name, const std::wstring& profileFolder) {
    try {
        const RawStringValue value = QueryStringValue(key, name);
        if (value.text.empty() || (value.type != REG_SZ && value.type != REG_EXPAND_SZ)) return {};
        std::wstring folder = value.type == REG_EXPAND_SZ ? ExpandProfileText(value.text, profileFolder) : value.text;
        while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
        return folder;
    } catch (...) {
        return {};
    }
}

}  // namespace

std::wstring ExpandProfileText(const std::wstring& text, const std::wstring& profileFolder) {
    static const wchar_t kVariable[] = L"%USERPROFILE%";
    const size_t length = std::wcslen(kVariable);
    std::wstring replaced;
    for (size_t i = 0; i < text.size();) {
        if (text.size() - i >= length && _wcsnicmp(text.c_str() + i, kVariable, length) == 0) {
            replaced += profileFolder;
            i += length;
        } else {
            replaced += text[i++];
        }
    }
    return TranscodeU8ToU16(ExpandEnvironmentText(TranscodeU16ToU8(replaced)));
}

ProfileFolders DefaultProfileFolders(const UserProfile& profile) {
    return {profile.folder + L"\\Documents", profile.folder + L"\\AppData\\Local"};
}

ProfileFolders ReadProfileFolders(const UserProfile& profile, HKEY root, const std::wstring& hivePath) {
    ProfileFolders folders = DefaultProfileFolders(profile);
    try {
        const WindowsPlatform::UniqueRegistryKey key =
            OpenRegistryKey(root, hivePath + L"\\" + kUserShellFolders, KEY_READ);
        if (auto documents = FolderValue(key.Get(), L"Personal", profile.folder); !documents.empty())
            folders.documents = std::move(documents);
        if (auto local = FolderValue(key.Get(), L"Local AppData", profile.folder); !local.empty())
            folders.localAppData = std::move(local);
    } catch (...) {
        // Without the key every folder is at its usual place.
    }
    return folders;
}
