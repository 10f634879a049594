#include "ProfileInstallerRecords.h"

#include "InstallerRecords.h"

namespace Lab {
namespace {

const wchar_t kUserInstaller[] = L"Software\\Microsoft\\Installer";

struct ProductShape {
    const wchar_t* product;
    const wchar_t* upgrade;
};

const ProductShape kProduct{L"{7A1B2C3D-3333-4A5B-9C0D-0123456789AB}", L"{7A1B2C3D-4444-4A5B-9C0D-0123456789AB}"};
const ProductShape kBystander{L"{8B2C3D4E-5555-4A5B-9C0D-0123456789AB}", L"{8B2C3D4E-6666-4A5B-9C0D-0123456789AB}"};
const wchar_t kOwnComponent[] = L"{7A1B2C3D-7777-4A5B-9C0D-0123456789AB}";
const wchar_t kSharedComponent[] = L"{9C3D4E5F-8888-4A5B-9C0D-0123456789AB}";

std::vector<std::wstring> RecordKeys(const ProductShape& shape) {
    const std::wstring base = kUserInstaller;
    return {base + L"\\Products\\" + PackedCode(shape.product), base + L"\\Features\\" + PackedCode(shape.product),
            base + L"\\UpgradeCodes\\" + PackedCode(shape.upgrade)};
}

void WriteRecords(const RegKey& hive, const ProductShape& shape, const std::wstring& name) {
    const std::vector<std::wstring> keys = RecordKeys(shape);
    SetValue(hive.Sub(keys[0]), TextValue(L"ProductName", name));
    SetValue(hive.Sub(keys[0]), NumberValue(L"Language", 1033));
    SetValue(hive.Sub(keys[1]), TextValue(L"Complete", L""));
    SetValue(hive.Sub(keys[2]), TextValue(PackedCode(shape.product), L""));
}

}  // namespace

RegKey ProfileUserData(const LabProfile& profile) {
    return Hklm64(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\" + profile.sid);
}

ProfileInstallerRecords PlantProfileInstallerRecords(const LabProfile& profile, const std::wstring& productName) {
    EditHive(profile, [&](const RegKey& hive) {
        WriteRecords(hive, kProduct, productName);
        WriteRecords(hive, kBystander, L"Kestrel Backup Agent");
    });
    ProfileInstallerRecords records;
    records.productKeys = RecordKeys(kProduct);
    records.bystanderKeys = RecordKeys(kBystander);
    records.productCode = PackedCode(kProduct.product);
    records.bystanderCode = PackedCode(kBystander.product);
    const RegKey components = ProfileUserData(profile).Sub(L"Components");
    records.ownComponent = components.Sub(PackedCode(kOwnComponent));
    records.sharedComponent = components.Sub(PackedCode(kSharedComponent));
    SetValue(records.ownComponent, TextValue(records.productCode, profile.localAppData + L"\\Orvalis\\console.ini"));
    SetValue(records.sharedComponent, TextValue(records.productCode, profile.localAppData + L"\\Shared\\help.chm"));
    SetValue(records.sharedComponent, TextValue(records.bystanderCode, profile.localAppData + L"\\Shared\\help.chm"));
    return records;
}

}  // namespace Lab
