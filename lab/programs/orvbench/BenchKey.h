#pragma once
// A registry key of the benchmark, opened or created in the 32-bit view
// (or in the 64-bit view, when asked), with the few writes the clutter needs. Failures throw Lab::Error.

#include <windows.h>

#include <string>

namespace Bench {

class BenchKey {
public:
    // Creates root\path (and what is missing above it).
    static BenchKey Create(HKEY root, const std::wstring& path, REGSAM view = KEY_WOW64_32KEY);
    // Opens root\path for reading and deleting; an invalid key when missing.
    static BenchKey Open(HKEY root, const std::wstring& path, REGSAM view = KEY_WOW64_32KEY);

    BenchKey() = default;
    BenchKey(BenchKey&& other) noexcept : key_(other.key_), view_(other.view_) { other.key_ = nullptr; }
    BenchKey& operator=(BenchKey&& other) noexcept;
    BenchKey(const BenchKey&) = delete;
    BenchKey& operator=(const BenchKey&) = delete;
    ~BenchKey();

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    BenchKey CreateSub(const std::wstring& name) const { return Create(key_, name, view_); }
    void SetText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) const;
    void SetNumber(const wchar_t* name, DWORD number) const;

private:
    BenchKey(HKEY key, REGSAM view) : key_(key), view_(view) {}
    HKEY key_ = nullptr;
    REGSAM view_ = KEY_WOW64_32KEY;
};

}  // namespace Bench
