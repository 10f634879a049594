#include "LabText.h"
#include "Snapshot.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <algorithm>

using WindowsPlatform::UniqueRegistryKey;

namespace Lab {
namespace {

struct LinePath {
    std::wstring kind;
    std::wstring path;
};

LinePath Split(const std::wstring& line) {
    const size_t space = line.find(L' ');
    if (space == std::wstring::npos) return {line, {}};
    const size_t end = line.find(L"  ", space + 1);
    return {line.substr(0, space), line.substr(space + 1, end == std::wstring::npos ? end : end - space - 1)};
}

// The native name of an open key, "\REGISTRY\MACHINE\..." written as "HKLM\...".
std::wstring NativeName(HKEY key) {
    using NtQueryKeyFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto ntQueryKey = reinterpret_cast<NtQueryKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    constexpr int kKeyNameInformation = 3;
    std::vector<BYTE> buffer(4096);
    ULONG length = 0;
    if (ntQueryKey(key, kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length) != 0) {
        return {};
    }
    const ULONG bytes = *reinterpret_cast<const ULONG*>(buffer.data());
    std::wstring name(reinterpret_cast<const wchar_t*>(buffer.data() + sizeof(ULONG)), bytes / sizeof(wchar_t));
    for (const auto& [native, shown] : {std::pair<std::wstring, std::wstring>{L"\\REGISTRY\\MACHINE", L"HKLM"},
                                        {L"\\REGISTRY\\USER", L"HKU"}}) {
        if (StartsWithNoCase(name, native)) return shown + name.substr(native.size());
    }
    return {};
}

// Where a key that does not exist would be: the 32-bit view's places.
std::wstring UnresolvedName(const RegKey& key) {
    if (key.root == HKEY_USERS) return L"HKU\\" + key.path;
    if (key.view == KEY_WOW64_32KEY) {
        if (StartsWithNoCase(key.path, L"SOFTWARE\\Classes\\")) {
            return L"HKLM\\SOFTWARE\\Classes\\Wow6432Node\\" + key.path.substr(17);
        }
        if (StartsWithNoCase(key.path, L"SOFTWARE\\")) return L"HKLM\\SOFTWARE\\Wow6432Node\\" + key.path.substr(9);
    }
    return L"HKLM\\" + key.path;
}

}  // namespace

bool MatchesPrefix(const std::wstring& line, const std::wstring& prefix) {
    const LinePath l = Split(line);
    const LinePath p = Split(prefix);
    if (l.kind != p.kind) return false;
    if (EqualsNoCase(l.path, p.path) || StartsWithNoCase(l.path, p.path + L"\\")) return true;
    return !p.path.empty() && p.path.back() == L'\\' && StartsWithNoCase(l.path, p.path);
}

bool MatchesAny(const std::wstring& line, const std::vector<std::wstring>& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(), [&](const auto& p) { return MatchesPrefix(line, p); });
}

std::vector<std::wstring> LinesOutside(const std::vector<std::wstring>& lines,
                                       const std::vector<std::wstring>& prefixes) {
    std::vector<std::wstring> outside;
    for (const auto& line : lines) {
        if (!MatchesAny(line, prefixes)) outside.push_back(line);
    }
    return outside;
}

std::vector<std::wstring> LinesWithin(const std::vector<std::wstring>& lines,
                                      const std::vector<std::wstring>& prefixes) {
    std::vector<std::wstring> within;
    for (const auto& line : lines) {
        if (MatchesAny(line, prefixes)) within.push_back(line);
    }
    return within;
}

std::vector<std::wstring> MissingLines(const Snapshot& snapshot, const std::vector<std::wstring>& lines) {
    std::vector<std::wstring> missing;
    for (const auto& line : lines) {
        if (std::find(snapshot.lines.begin(), snapshot.lines.end(), line) == snapshot.lines.end()) {
            missing.push_back(line);
        }
    }
    return missing;
}

std::wstring RegPrefix(const RegKey& key) {
    // The deepest existing key on the path tells where the rest would be,
    // through whatever links lie on the way.
    std::wstring rest;
    std::wstring path = key.path;
    for (;;) {
        UniqueRegistryKey opened;
        if (RegOpenKeyExW(key.root, path.c_str(), 0, KEY_READ | key.view, opened.Put()) == ERROR_SUCCESS) {
            const std::wstring name = NativeName(opened.Get());
            if (!name.empty()) return L"reg " + name + rest;
            break;
        }
        const size_t slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos) break;
        rest = path.substr(slash) + rest;
        path.resize(slash);
    }
    return L"reg " + UnresolvedName(key);
}

std::wstring FilePrefix(const std::wstring& path) { return L"file " + path; }
std::wstring ServicePrefix(const std::wstring& name) { return L"svc " + name; }

}  // namespace Lab
