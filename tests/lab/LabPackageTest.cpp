// The lab's Windows Installer packages, installed and removed with Wine's
// real msiexec.

#include "InstallerRecords.h"
#include "LabServices.h"
#include "RegistryKey.h"
#include "support/LabMachine.h"

#include <windows.h>

namespace {

class LabPackageTest : public LabMachineTest {};

std::wstring FileVersion(const std::wstring& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length)) {
        return L"none";
    }
    const auto part = [](DWORD word) { return std::to_wstring(word); };
    return part(HIWORD(info->dwFileVersionMS)) + L"." + part(LOWORD(info->dwFileVersionMS)) + L"." +
           part(HIWORD(info->dwFileVersionLS)) + L"." + part(LOWORD(info->dwFileVersionLS));
}

TEST_F(LabPackageTest, AgentLandsWhereA32BitSetupPutsItAndRealMsiexecRemovesIt) {
    const Lab::Planted agent = Lab::Plant(L"agent");
    const std::wstring code = agent.productCode;
    EXPECT_EQ(agent.uninstallString, L"MsiExec.exe /I" + code);

    // What the 32-bit remover reads, read as it reads it.
    const Lab::RegKey entry = Lab::UninstallEntry(code);
    EXPECT_EQ(Lab::ReadText(entry, L"DisplayName"), L"Stennet Orvalis Client");
    EXPECT_EQ(Lab::ReadText(entry, L"InstallLocation"), agent.installDir + L"\\");
    const Lab::RegKey products32 =
        Lab::Hklm32(L"SOFTWARE\\Classes\\Installer\\Products\\" + Lab::PackedCode(code));
    EXPECT_EQ(Lab::ReadText(products32, L"ProductName"), L"Stennet Orvalis Client");
    EXPECT_EQ(Lab::ReadText(Lab::Hklm32(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ORVClient.exe"),
                            L"Path"),
              agent.installDir + L"\\");
    EXPECT_EQ(agent.mainProgram, L"C:\\Program Files (x86)\\Orvalis Enterprise\\ORV Client\\ORVClient.exe");
    EXPECT_EQ(FileVersion(agent.mainProgram), L"7.2.1.500");
    EXPECT_TRUE(Lab::ServiceExists(L"ORVClient"));

    // The product program is the service's image: as the remover does, stop
    // it before the uninstaller runs, or Windows Installer cannot replace it.
    Lab::StopAndDeleteService(L"ORVClient", true);
    const Lab::Snapshot before = Lab::TakeSnapshot();
    EXPECT_EQ(Lab::RunAndWait(L"msiexec.exe /x " + code + L" /qn"), 0u);
    const Lab::SnapshotDiff diff = Lab::Diff(before, Lab::TakeSnapshot());

    EXPECT_EQ(diff.came, NoLines());
    EXPECT_EQ(Lab::LinesOutside(diff.went, Lab::ComponentPrefixes(L"agent")), NoLines());
    for (const auto& gone : {Lab::RegPrefix(entry), Lab::RegPrefix(Lab::ProductsRecord(code)),
                             Lab::RegPrefix(Lab::UserDataProduct(code)), Lab::FilePrefix(agent.mainProgram)}) {
        EXPECT_FALSE(Lab::LinesWithin(diff.went, {gone}).empty()) << gone;
    }
    EXPECT_FALSE(Lab::KeyExists(products32));
    EXPECT_EQ(Lab::RunAndWait(L"msiexec.exe /x " + code + L" /qn"), static_cast<DWORD>(ERROR_UNKNOWN_PRODUCT));
}

TEST_F(LabPackageTest, BothUninstallStringFormsReachWindowsInstaller) {
    Lab::PlantOptions options;
    options.uninstallByX = true;
    options.edition = L"\u00BBStennet Orvalis Relay\u00AB";
    const Lab::Planted relay = Lab::Plant(L"relay", options);
    EXPECT_EQ(relay.uninstallString, L"MsiExec.exe /X" + relay.productCode);
    EXPECT_EQ(Lab::ReadText(Lab::ProductsRecord(relay.productCode), L"ProductName"), options.edition);

    // "/I" with /qn asks for a maintenance installation: the product stays.
    Lab::StopAndDeleteService(L"ORVRelay", true);
    EXPECT_EQ(Lab::RunAndWait(L"MsiExec.exe /I" + relay.productCode + L" /qn"), 0u);
    EXPECT_TRUE(Lab::KeyExists(Lab::UninstallEntry(relay.productCode)));

    EXPECT_EQ(Lab::RunAndWait(relay.uninstallString + L" /qn"), 0u);
    EXPECT_FALSE(Lab::KeyExists(Lab::UninstallEntry(relay.productCode)));
    EXPECT_FALSE(Lab::KeyExists(Lab::ProductsRecord(relay.productCode)));
}

}  // namespace
