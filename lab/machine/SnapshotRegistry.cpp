#include "SnapshotRegistry.h"

#include "LabText.h"
#include "RegistryKey.h"
#include "platform/UniqueHandle.h"

#include <algorithm>
#include <cstdio>

using WindowsPlatform::UniqueRegistryKey;

namespace Lab {
namespace {

constexpr REGSAM kReadPhysical = KEY_READ | KEY_WOW64_64KEY;

std::wstring Hex(unsigned long long number, int digits) {
    wchar_t text[32];
    swprintf(text, std::size(text), L"0x%0*llx", digits, number);
    return text;
}

std::wstring Quote(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'"') quoted += L"\\\"";
        else if (c == L'\r') quoted += L"\\r";
        else if (c == L'\n') quoted += L"\\n";
        else if (c == L'\t') quoted += L"\\t";
        else if (c == L'\0') quoted += L"\\0";
        else if (c < 32) quoted += L"\\x" + Hex(c, 2).substr(2);
        else quoted += c;
    }
    return quoted + L"\"";
}

std::wstring HexData(const BYTE* data, DWORD size) {
    std::wstring hex;
    for (DWORD i = 0; i < size; ++i) hex += (i ? L" " : L"") + Hex(data[i], 2).substr(2);
    return hex;
}

std::wstring TypeName(DWORD type) {
    switch (type) {
    case REG_NONE: return L"REG_NONE";
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_BINARY: return L"REG_BINARY";
    case REG_DWORD: return L"REG_DWORD";
    case REG_DWORD_BIG_ENDIAN: return L"REG_DWORD_BIG_ENDIAN";
    case REG_LINK: return L"REG_LINK";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_QWORD: return L"REG_QWORD";
    default: return L"REG_TYPE_" + std::to_wstring(type);
    }
}

// A text value shown as text when it is whole characters; a missing
// terminating NUL is shown too, since readers treat it differently.
std::wstring DescribeText(DWORD type, const BYTE* data, DWORD size) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    const bool terminated = !text.empty() && text.back() == L'\0';
    if (terminated) text.pop_back();
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        return TypeName(type) + L" " + Quote(text) + (terminated || size == 0 ? L"" : L" (no NUL)");
    }
    std::wstring parts = TypeName(type);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\0', start);
        if (end == std::wstring::npos) end = text.size();
        if (end > start) parts += L" " + Quote(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

void SnapshotValues(HKEY key, const std::wstring& display, DWORD values, DWORD longestName, DWORD longestData,
                    std::vector<std::wstring>& lines) {
    std::vector<wchar_t> name(longestName + 2);
    std::vector<BYTE> data(longestData + 2);
    for (DWORD index = 0; index < values;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {  // the sizes changed since they were asked for
            name.resize(name.size() * 2 + 256);
            data.resize(data.size() * 2 + size);
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        ++index;
        lines.push_back(L"reg " + display + L"  [" + std::wstring(name.data(), nameLength) + L"] " +
                        DescribeValue(type, data.data(), size));
    }
}

struct Walk {
    const std::vector<std::wstring>& skipped;
    std::vector<std::wstring>& lines;

    bool Skipped(const std::wstring& display) const {
        return std::any_of(skipped.begin(), skipped.end(), [&](const auto& s) { return EqualsNoCase(s, display); });
    }

    void Key(HKEY key, const std::wstring& display) {
        DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
        if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                             &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
            return;
        }
        // A link key holds its target as a value, so only keys with values
        // are asked for one.
        if (const auto target = values > 0 ? LinkTarget(key) : std::nullopt) {
            lines.push_back(L"reg " + display + L"  -> " + *target);
            return;
        }
        lines.push_back(L"reg " + display);
        if (values > 0) SnapshotValues(key, display, values, longestName, longestData, lines);
        std::vector<wchar_t> name(longestSubkey + 2);
        for (DWORD index = 0; index < subkeys; ++index) {
            DWORD length = static_cast<DWORD>(name.size());
            if (RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            const std::wstring child = display + L"\\" + std::wstring(name.data(), length);
            if (Skipped(child)) continue;
            UniqueRegistryKey opened;
            if (RegOpenKeyExW(key, name.data(), REG_OPTION_OPEN_LINK, kReadPhysical, opened.Put()) ==
                ERROR_SUCCESS) {
                Key(opened.Get(), child);
            }
        }
    }
};

}  // namespace

std::wstring DescribeValue(DWORD type, const BYTE* data, DWORD size) {
    if ((type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) && size % sizeof(wchar_t) == 0) {
        return DescribeText(type, data, size);
    }
    if (type == REG_DWORD && size == 4) return TypeName(type) + L" " + Hex(*reinterpret_cast<const DWORD*>(data), 8);
    if (type == REG_QWORD && size == 8) {
        return TypeName(type) + L" " + Hex(*reinterpret_cast<const unsigned long long*>(data), 16);
    }
    return TypeName(type) + L" hex(" + std::to_wstring(size) + L")" + (size ? L" " : L"") + HexData(data, size);
}

void SnapshotRegistryTree(HKEY root, const std::wstring& path, const std::wstring& display,
                          const std::vector<std::wstring>& skipped, std::vector<std::wstring>& lines) {
    UniqueRegistryKey opened;
    if (RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, kReadPhysical, opened.Put()) != ERROR_SUCCESS) {
        return;
    }
    Walk{skipped, lines}.Key(opened.Get(), display);
}

}  // namespace Lab
