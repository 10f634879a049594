#include "InstallerRecords.h"

#include "LabError.h"

namespace Lab {
namespace {

const wchar_t kClassesInstaller[] = L"SOFTWARE\\Classes\\Installer";
const wchar_t kInstaller[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";
const wchar_t kUserData[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18";

}  // namespace

std::wstring PackedCode(const std::wstring& guid) {
    std::wstring hex;
    for (wchar_t c : guid) {
        if (c != L'{' && c != L'}' && c != L'-') hex += static_cast<wchar_t>(towupper(c));
    }
    if (hex.size() != 32) throw Error(L"not a GUID: " + guid);
    std::wstring packed(hex.rbegin() + 24, hex.rend());                       // 8 digits reversed
    packed.append(hex.rbegin() + 20, hex.rbegin() + 24);                     // 4 digits reversed
    packed.append(hex.rbegin() + 16, hex.rbegin() + 20);                     // 4 digits reversed
    for (size_t i = 16; i < 32; i += 2) packed += {hex[i + 1], hex[i]};     // each byte's digits swapped
    return packed;
}

RegKey UninstallEntry(const std::wstring& productCode) {
    return Hklm32(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productCode);
}

RegKey ProductsRecord(const std::wstring& productCode) {
    return Hklm64(std::wstring(kClassesInstaller) + L"\\Products\\" + PackedCode(productCode));
}

RegKey UserDataProduct(const std::wstring& productCode) {
    return Hklm64(std::wstring(kUserData) + L"\\Products\\" + PackedCode(productCode));
}

std::vector<RegKey> InstallerRecordKeys(const std::wstring& productCode, const std::wstring& upgradeCode,
                                        const std::wstring& componentCode) {
    const std::wstring upgrade = PackedCode(upgradeCode);
    return {ProductsRecord(productCode),
            Hklm64(std::wstring(kClassesInstaller) + L"\\Features\\" + PackedCode(productCode)),
            Hklm64(std::wstring(kClassesInstaller) + L"\\UpgradeCodes\\" + upgrade),
            Hklm64(std::wstring(kInstaller) + L"\\UpgradeCodes\\" + upgrade),
            UserDataProduct(productCode),
            Hklm64(std::wstring(kUserData) + L"\\Components\\" + PackedCode(componentCode))};
}

void WriteInstallerRecords(const std::wstring& productCode, const std::wstring& upgradeCode,
                           const std::wstring& componentCode, const std::wstring& productName,
                           const std::wstring& mainProgram) {
    const std::wstring product = PackedCode(productCode);
    const auto keys = InstallerRecordKeys(productCode, upgradeCode, componentCode);
    SetValue(keys[0], TextValue(L"ProductName", productName));
    SetValue(keys[0], NumberValue(L"Language", 1033));
    SetValue(keys[1], TextValue(L"Complete", L""));
    SetValue(keys[2], TextValue(product, L""));
    SetValue(keys[3], TextValue(product, L""));
    SetValue(keys[4].Sub(L"InstallProperties"), TextValue(L"DisplayName", productName));
    SetValue(keys[5], TextValue(product, mainProgram));
}

}  // namespace Lab
