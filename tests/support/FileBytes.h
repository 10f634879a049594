#pragma once
// Whole files as bytes and as UTF-16 text, for tests that check exactly
// what a program wrote. Reading shares the file with a writer that still
// holds it open.

#include <windows.h>

#include <stdexcept>
#include <string>

inline std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open file: " + std::to_string(GetLastError()));
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// UTF-8 bytes as UTF-16 text (the byte-order mark, if any, stays as U+FEFF).
inline std::wstring Utf8ToWide(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int count = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), count);
    return text;
}

// A UTF-16 LE file's text, byte-order mark included.
inline std::wstring ReadUtf16File(const std::wstring& path) {
    const std::string bytes = ReadFileBytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}
