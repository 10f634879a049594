#include "sysops/UserProfiles.h"

#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"
#include "sysops/Registry.h"
#include "sysops/RegistryQuery.h"

#include <windows.h>

#include <sddl.h>

#include <vector>

using WindowsPlatform::UniqueRegistryKey;

namespace {

const wchar_t kProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

// A REG_SZ or REG_EXPAND_SZ value of the open key, expanded; empty when it
// is missing, empty or of another type.
std::wstring FolderValue(HKEY key, const wchar_t* name) {
    try {
        const RawStringValue value = QueryStringValue(key, name);
        if (value.bytes == 0 || value.text.empty()) return {};
        if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return {};
        return WithoutTrailingSeparators(TranscodeU8ToU16(ExpandEnvironmentText(TranscodeU16ToU8(value.text))));
    } catch (...) {
        return {};
    }
}

// "S-1-" followed by digits and dashes only.
bool IsPlainSid(const std::wstring& name) {
    if (name.compare(0, 4, L"S-1-") != 0) return false;
    for (wchar_t c : name)
        if (!(c == L'S' || c == L'-' || (c >= L'0' && c <= L'9'))) return false;
    return true;
}

void AddDefaultProfile(HKEY list, std::vector<UserProfile>& profiles) {
    std::wstring folder = FolderValue(list, L"Default");
    if (folder.empty()) {
        const std::wstring directory = FolderValue(list, L"ProfilesDirectory");
        if (directory.empty()) return;
        folder = directory + L"\\Default";
    }
    profiles.push_back({L"Default", folder, true});
}

}  // namespace

std::vector<UserProfile> ListUserProfiles() {
    std::vector<UserProfile> profiles;
    try {
        const UniqueRegistryKey list = OpenRegistryKey(HKEY_LOCAL_MACHINE, kProfileList, KEY_READ, RegistryView::Native64);
        try {
            SubkeyEnumerator subkeys(list.Get());
            for (std::wstring name; subkeys.Next(name);) {
                if (!IsPlainSid(name)) continue;
                try {
                    const UniqueRegistryKey entry = OpenRegistryKey(list.Get(), name, KEY_READ, RegistryView::Native64);
                    const std::wstring folder = FolderValue(entry.Get(), L"ProfileImagePath");
                    if (!folder.empty()) profiles.push_back({name, folder, false});
                } catch (...) {
                    // An entry that does not open names no profile.
                }
            }
        } catch (...) {
            // A failed enumeration ends the list; the Default profile follows.
        }
        AddDefaultProfile(list.Get(), profiles);
    } catch (...) {
        // Without ProfileList there are no profiles to visit.
    }
    return profiles;
}

std::optional<std::wstring> CurrentUserSid() {
    try {
        WindowsPlatform::UniqueKernelHandle token;
        ThrowLastErrorIfFalse(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()));
        DWORD size = 0;
        GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        ThrowLastErrorIfFalse(GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size));
        wchar_t* text = nullptr;
        ThrowLastErrorIfFalse(ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text));
        const WindowsPlatform::UniqueLocalMemory owner(text);
        return std::wstring(text);
    } catch (...) {
        return std::nullopt;
    }
}
