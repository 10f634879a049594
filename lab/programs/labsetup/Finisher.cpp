#include "Finisher.h"

#include "LabFiles.h"
#include "LabProcess.h"
#include "MachinePaths.h"
#include "UninstallRun.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace LabSetup {
namespace {

const wchar_t kFinisherOption[] = L" --lab-finish ";

}  // namespace

void RemoveLastPart(const Lab::SetupManifest& manifest) {
    for (const auto& key : manifest.lastKeys) {
        try {
            Lab::DeleteTree(key);
        } catch (const std::exception& e) {
            fprintf(stderr, "labsetup: %s\n", e.what());
        }
    }
}

void StartFinisher(const Lab::SetupManifest& manifest, const std::wstring& manifestPath) {
    const std::wstring copy = Lab::LabStateFolder() + L"\\finishers\\" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(GetTickCount()) + L".exe";
    Lab::CopyFileTo(Lab::ThisProgram(), copy);
    // The finisher waits on this handle, which cannot name another process
    // once the setup has ended, as a process id could.
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0);
    const std::wstring command = L"\"" + copy + L"\"" + kFinisherOption +
                                 std::to_wstring(reinterpret_cast<ULONG_PTR>(self)) + L" \"" + manifestPath + L"\"";
    std::wstring writable = command;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        Lab::ThrowLastError(L"CreateProcessW", command);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Lab::AppendSetupRun({L"child", manifest.product, process.dwProcessId, L"none", L"started", 0, command});
}

bool IsFinisherCommand(const std::wstring& tail) { return tail.rfind(kFinisherOption, 0) == 0; }

DWORD RunFinisher(const std::wstring& commandLine) {
    const std::wstring arguments = CommandTail(commandLine).substr(std::size(kFinisherOption) - 1);
    wchar_t* end = nullptr;
    WindowsPlatform::UniqueKernelHandle setup(
        reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(std::wcstoull(arguments.c_str(), &end, 10))));
    const std::wstring manifestPath = std::wstring(end).substr(2, std::wcslen(end) - 3);
    const Lab::SetupManifest manifest = Lab::ReadManifest(manifestPath);
    WaitForSingleObject(setup.Get(), 60000);
    Sleep(manifest.behaviour.childMs);
    RemoveLastPart(manifest);
    if (manifest.role == L"setup") {
        try {
            Lab::DeleteFolderTree(Lab::ParentFolder(manifestPath));
        } catch (const std::exception& e) {
            fprintf(stderr, "labsetup: %s\n", e.what());
        }
    }
    Lab::AppendSetupRun(
        {L"child", manifest.product, GetCurrentProcessId(), L"none", L"removed-last-part", 0, commandLine});
    return 0;
}

}  // namespace LabSetup
