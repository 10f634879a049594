#include "MachinePaths.h"

#include "LabError.h"
#include "LabProcess.h"
#include "LabText.h"
#include "RegistryKey.h"
#include "platform/UniqueHandle.h"

#include <windows.h>
#include <sddl.h>
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

std::string GuidResponseText(const std::wstring& productCode) {
    const std::string code = ToUtf8(productCode);
    return "[" + code + "-DlgOrder]\r\nDlg0=" + code + "-MessageBox-0\r\nCount=2\r\nDlg1=" + code +
           "-SdFinish-0\r\n[" + code + "-MessageBox-0]\r\nResult=6\r\n[" + code +
           "-SdFinish-0]\r\nResult=1\r\nbOpt1=0\r\nbOpt2=0\r\n";
}

std::wstring ProgramFilesX86() { return SpecialFolder(CSIDL_PROGRAM_FILESX86); }
// A 32-bit program gets the 32-bit folder for CSIDL_PROGRAM_FILES; the
// 64-bit one is in its environment.
std::wstring ProgramFiles64() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"ProgramW6432", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::wstring(path, length);
    return SpecialFolder(CSIDL_PROGRAM_FILES);
}
std::wstring LocalAppData() { return SpecialFolder(CSIDL_LOCAL_APPDATA); }
std::wstring Documents() { return SpecialFolder(CSIDL_PERSONAL); }
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

std::wstring CurrentUserHive() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) ThrowLastError(L"OpenProcessToken", L"");
    const WindowsPlatform::UniqueKernelHandle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) {
        ThrowLastError(L"GetTokenInformation", L"TokenUser");
    }
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
        ThrowLastError(L"ConvertSidToStringSidW", L"");
    }
    const std::wstring sid = text;
    LocalFree(text);
    return sid;
}

}  // namespace Lab

