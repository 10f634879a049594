// Stands in for a product's uninstaller. Its arguments are steps, done in
// the order given:
//
//   --sleep <ms>                  waits
//   --mark <file>                 creates an empty file (proof that it ran)
//   --child <ms> <file>           starts a copy of itself that waits <ms>
//                                 and then marks <file>; does not wait for it
//   --hold <file> <ready> <done>  opens <file> without delete sharing, sets
//                                 the named event <ready>, and keeps the file
//                                 open until the named event <done> is set
//                                 (at most two minutes)
//   --exit <code>                 ends at once with that exit code
//
// Without --exit it ends with exit code 0.

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::wstring SelfPath() {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return std::wstring(path, length);
}

bool Mark(const wchar_t* file) {
    HANDLE handle = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

bool StartChild(const wchar_t* milliseconds, const wchar_t* file) {
    std::wstring command =
        L"\"" + SelfPath() + L"\" --sleep " + milliseconds + L" --mark \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

bool Hold(const wchar_t* file, const wchar_t* ready, const wchar_t* done) {
    HANDLE handle = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    HANDLE readyEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, ready);
    HANDLE doneEvent = OpenEventW(SYNCHRONIZE, FALSE, done);
    if (readyEvent != nullptr) SetEvent(readyEvent);
    if (doneEvent != nullptr) WaitForSingleObject(doneEvent, 120000);
    if (readyEvent != nullptr) CloseHandle(readyEvent);
    if (doneEvent != nullptr) CloseHandle(doneEvent);
    CloseHandle(handle);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring step = argv[i];
        const int left = argc - i - 1;
        if (step == L"--sleep" && left >= 1) {
            Sleep(static_cast<DWORD>(_wtoi(argv[++i])));
        } else if (step == L"--mark" && left >= 1) {
            if (!Mark(argv[++i])) return 101;
        } else if (step == L"--child" && left >= 2) {
            if (!StartChild(argv[i + 1], argv[i + 2])) return 102;
            i += 2;
        } else if (step == L"--hold" && left >= 3) {
            if (!Hold(argv[i + 1], argv[i + 2], argv[i + 3])) return 103;
            i += 3;
        } else if (step == L"--exit" && left >= 1) {
            return _wtoi(argv[++i]);
        } else {
            return 100;
        }
    }
    return 0;
}
