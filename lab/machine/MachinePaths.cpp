#include "MachinePaths.h"

#include "LabError.h"
#include "LabProcess.h"
#include "RegistryKey.h"

#include <windows.h>
#include <shlobj.h>

namespace Lab {
namespace {

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH];
    const HRESULT result = SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    if (FAILED(result)) ThrowIfFailed(result, L"SHGetFolderPathW", std::to_wstring(csidl));
    return path;
}

}  // namespace

const char kResponseFileText[] =
    "[InstallShield Silent]\r\nVersion=v7.00\r\nFile=Response File\r\n[File Transfer]\r\n"
    "OverwrittenReadOnly=NoToAll\r\n";

std::wstring ProgramFilesX86() { return SpecialFolder(CSIDL_PROGRAM_FILESX86); }
std::wstring ProgramFiles64() { return SpecialFolder(CSIDL_PROGRAM_FILES); }
std::wstring LocalAppData() { return SpecialFolder(CSIDL_LOCAL_APPDATA); }
std::wstring SuiteFolder() { return ProgramFilesX86() + L"\\Orvalis Enterprise"; }
std::wstring InstallShieldInformation() { return ProgramFilesX86() + L"\\InstallShield Installation Information"; }
std::wstring LabStateFolder() { return L"C:\\lab"; }
std::wstring LabBinary(const std::wstring& fileName) { return ThisProgramFolder() + L"\\" + fileName; }
std::wstring PackagePath(const std::wstring& fileName) { return ThisProgramFolder() + L"\\msi\\" + fileName; }

std::vector<std::wstring> UserHives() {
    std::vector<std::wstring> hives;
    for (const auto& name : Subkeys(Hku(L""))) {
        if (name.size() < 8 || name.compare(name.size() - 8, 8, L"_Classes") != 0) hives.push_back(name);
    }
    return hives;
}

}  // namespace Lab

