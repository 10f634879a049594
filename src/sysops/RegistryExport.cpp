#include "sysops/RegistryExport.h"

#include "platform/Errors.h"
#include "platform/Text.h"
#include "sysops/Registry.h"

#include <cstring>
#include <cwchar>
#include <vector>

using WindowsPlatform::UniqueRegistryKey;

const wchar_t kRegFileHeader[] = L"Windows Registry Editor Version 5.00\r\n\r\n";

namespace {

// Longest line the registry editor writes before it continues with "\\".
constexpr size_t kLineWidth = 78;

[[noreturn]] void ThrowUnwritable(const char* what, const std::wstring& name) {
    throw ExceptionPL(std::string(what) + " \"" + TranscodeU16ToU8(name) + "\" cannot be written to a .reg file");
}

bool HasControlCharacter(const std::wstring& text) {
    for (wchar_t c : text)
        if (c < 0x20) return true;
    return false;
}

// The key's name in the kernel's namespace, \REGISTRY\MACHINE\... or
// \REGISTRY\USER\..., through ntdll's NtQueryKey (KeyNameInformation).
std::wstring KernelKeyName(HKEY key) {
    using NtQueryKeyFunction = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    constexpr int kKeyNameInformation = 3;
    static const auto query = reinterpret_cast<NtQueryKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    if (query == nullptr) throw Windows::Error(ERROR_PROC_NOT_FOUND);
    std::vector<BYTE> buffer(512);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(key, kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        constexpr LONG kBufferOverflow = static_cast<LONG>(0x80000005);
        constexpr LONG kBufferTooSmall = static_cast<LONG>(0xC0000023);
        if ((status == kBufferOverflow || status == kBufferTooSmall) && needed > buffer.size()) {
            buffer.resize(needed);
            continue;
        }
        if (status != 0) throw Windows::Error(ERROR_INVALID_HANDLE);
        ULONG length = 0;
        std::memcpy(&length, buffer.data(), sizeof length);
        return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data() + sizeof length), length / sizeof(wchar_t));
    }
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const size_t length = std::wcslen(prefix);
    return text.size() >= length && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"') out += L'\\';
        out += c;
    }
    return out;
}

// A REG_SZ that the quoted form carries exactly: one text without NULs or
// control characters, and its terminating NUL, nothing after it.
bool IsPlainText(DWORD type, const BYTE* data, DWORD size, std::wstring& text) {
    if (type != REG_SZ || size < sizeof(wchar_t) || size % sizeof(wchar_t) != 0) return false;
    text.assign(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    if (text.back() != L'\0') return false;
    text.pop_back();
    return text.find(L'\0') == std::wstring::npos && !HasControlCharacter(text);
}

std::wstring HexPrefix(DWORD type) {
    if (type == REG_BINARY) return L"hex:";
    wchar_t digits[16];
    swprintf(digits, 16, L"%lx", static_cast<unsigned long>(type));
    return std::wstring(L"hex(") + digits + L"):";
}

std::wstring HexBytes(size_t column, const BYTE* data, DWORD size) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring out;
    for (DWORD i = 0; i < size; ++i) {
        // Continue on a new line after a comma, never before the first byte.
        if (i > 0 && column + 3 > kLineWidth) {
            out += L"\\\r\n  ";
            column = 2;
        }
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0xF];
        column += 2;
        if (i + 1 < size) {
            out += L',';
            ++column;
        }
    }
    return out;
}

void AppendValues(HKEY key, std::wstring& out) {
    for (DWORD index = 0;; ++index) {
        DWORD maxNameLength = 0;
        DWORD maxDataSize = 0;
        ThrowIfError(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      &maxNameLength, &maxDataSize, nullptr, nullptr));
        std::vector<wchar_t> name(maxNameLength + 1);
        std::vector<BYTE> data(maxDataSize + 1);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = maxDataSize;
        DWORD type = REG_NONE;
        const LONG status =
            RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) return;
        // A value that grew while it was read fails with ERROR_MORE_DATA.
        ThrowIfError(status);
        out += RegFileValueLines(std::wstring(name.data(), nameLength), type, data.data(), dataSize);
    }
}

void AppendTree(HKEY key, const std::wstring& fileName, RegistryView view, std::wstring& out) {
    out += L"[" + fileName + L"]\r\n";
    AppendValues(key, out);
    out += L"\r\n";
    SubkeyInfo info;
    for (DWORD index = 0; EnumerateSubkey(key, index, info); ++index) {
        if (HasControlCharacter(info.name)) ThrowUnwritable("key", fileName + L"\\" + info.name);
        const UniqueRegistryKey subkey = OpenRegistryKey(key, info.name, KEY_READ, view);
        AppendTree(subkey.Get(), fileName + L"\\" + info.name, view, out);
    }
}

}  // namespace

std::wstring RegFileKeyName(HKEY key) {
    const std::wstring kernelName = KernelKeyName(key);
    static const std::pair<const wchar_t*, const wchar_t*> kRoots[] = {
        {L"\\REGISTRY\\MACHINE", L"HKEY_LOCAL_MACHINE"},
        {L"\\REGISTRY\\USER", L"HKEY_USERS"},
    };
    for (const auto& [kernelRoot, root] : kRoots) {
        const size_t length = std::wcslen(kernelRoot);
        if (StartsWithNoCase(kernelName, kernelRoot) &&
            (kernelName.size() == length || kernelName[length] == L'\\')) {
            if (root == std::wstring(L"HKEY_USERS") && kernelName.size() > length)
                return root + (L"\\" + UserHivePath(kernelName.substr(length + 1)));
            return root + kernelName.substr(length);
        }
    }
    ThrowUnwritable("key", kernelName);
}

std::wstring RegFileValueLines(const std::wstring& name, DWORD type, const BYTE* data, DWORD size) {
    if (HasControlCharacter(name)) ThrowUnwritable("value", name);
    std::wstring line = name.empty() ? L"@=" : L"\"" + Escaped(name) + L"\"=";
    std::wstring text;
    if (IsPlainText(type, data, size, text)) {
        line += L"\"" + Escaped(text) + L"\"";
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data, sizeof value);
        wchar_t digits[16];
        swprintf(digits, 16, L"%08lx", static_cast<unsigned long>(value));
        line += std::wstring(L"dword:") + digits;
    } else {
        line += HexPrefix(type);
        line += HexBytes(line.size(), data, size);
    }
    return line + L"\r\n";
}

std::optional<std::wstring> RegFileValueOf(HKEY key, const std::wstring& name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    ThrowIfError(status);
    std::vector<BYTE> data(size + 1);
    status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
    ThrowIfError(status);
    return RegFileValueLines(name, type, data.data(), size);
}

std::wstring ExportKeyTree(HKEY root, const std::wstring& path, RegistryView view) {
    const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_READ, view);
    std::wstring out;
    AppendTree(key.Get(), RegFileKeyName(key.Get()), view, out);
    return out;
}

std::wstring KeyPlaceName(HKEY root, const std::wstring& path, RegistryView view) {
    try {
        const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_READ, view);
        const std::wstring name = RegFileKeyName(key.Get());
        for (const auto& [longRoot, shortRoot] : {std::pair<const wchar_t*, const wchar_t*>{L"HKEY_LOCAL_MACHINE", L"HKLM"},
                                                  {L"HKEY_USERS", L"HKU"}}) {
            const size_t length = std::wcslen(longRoot);
            if (name.compare(0, length, longRoot) == 0) return shortRoot + name.substr(length);
        }
        return name;
    } catch (...) {
        return KeyDisplayName(root, path);
    }
}
