#include "LabProcess.h"

#include "LabError.h"
#include "platform/UniqueHandle.h"

using WindowsPlatform::UniqueKernelHandle;

namespace Lab {
namespace {

UniqueKernelHandle Start(const std::wstring& commandLine) {
    std::wstring writable = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ThrowLastError(L"CreateProcessW", commandLine);
    }
    CloseHandle(process.hThread);
    return UniqueKernelHandle(process.hProcess);
}

}  // namespace

DWORD RunAndWait(const std::wstring& commandLine, DWORD timeoutMs) {
    auto process = Start(commandLine);
    if (WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        throw Error(L"the program did not end in time: " + commandLine);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return code;
}

void StartDetached(const std::wstring& commandLine) { Start(commandLine); }

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return std::wstring(path, length);
}

std::wstring ThisProgramFolder() {
    const std::wstring program = ThisProgram();
    return program.substr(0, program.find_last_of(L"\\/"));
}

}  // namespace Lab
