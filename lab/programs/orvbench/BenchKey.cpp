#include "BenchKey.h"

#include "LabError.h"

namespace Bench {
namespace {

void Check(LONG status, const wchar_t* call, const std::wstring& what) {
    if (status != ERROR_SUCCESS)
        throw Lab::Error(std::wstring(call) + L" failed with " + std::to_wstring(status) + L" for " + what);
}

}  // namespace

BenchKey BenchKey::Create(HKEY root, const std::wstring& path, REGSAM view) {
    HKEY key = nullptr;
    Check(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
          L"RegCreateKeyExW", path);
    return BenchKey(key, view);
}

BenchKey BenchKey::Open(HKEY root, const std::wstring& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | DELETE | view, &key) != ERROR_SUCCESS) return {};
    return BenchKey(key, view);
}

BenchKey& BenchKey::operator=(BenchKey&& other) noexcept {
    if (this != &other) {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = other.key_;
        view_ = other.view_;
        other.key_ = nullptr;
    }
    return *this;
}

BenchKey::~BenchKey() {
    if (key_ != nullptr) RegCloseKey(key_);
}

void BenchKey::SetText(const wchar_t* name, const std::wstring& text, DWORD type) const {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    Check(RegSetValueExW(key_, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()), bytes),
          L"RegSetValueExW", name);
}

void BenchKey::SetNumber(const wchar_t* name, DWORD number) const {
    Check(RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number),
          L"RegSetValueExW", name);
}

}  // namespace Bench
