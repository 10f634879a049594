#pragma once
// The registry places the remover searches for installed products, as it
// names them (HKLM, 32-bit view).

namespace Bench {

constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kProducts[] = L"SOFTWARE\\Classes\\Installer\\Products";
constexpr wchar_t kFeatures[] = L"SOFTWARE\\Classes\\Installer\\Features";
constexpr wchar_t kUpgradeCodes[] = L"SOFTWARE\\Classes\\Installer\\UpgradeCodes";
constexpr wchar_t kUserData[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products";

}  // namespace Bench
