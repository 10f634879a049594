// Times two deletions of equal folder trees in one run, for tools/bench-delete:
//
//   benchdelete.exe <first folder> <second folder>
//
// deletes the first folder with DeleteDirectory and the second with the
// system's own "cmd /c rd /s /q", and prints both times and their ratio.
// Exit code 0 when both folders are gone.

#include "log/Log.h"
#include "sysops/Files.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// Keeps the step text so that a failed deletion can be shown.
class TextLog : public Remove::Log {
public:
    using Remove::Log::Write;
    void Write(const wchar_t* text) override { text_ += text; }
    const std::wstring& Text() const { return text_; }

private:
    std::wstring text_;
};

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool RunAndWait(std::wstring command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: benchdelete <first folder> <second folder>\n");
        return 2;
    }
    const std::wstring first = argv[1], second = argv[2];
    LARGE_INTEGER start, end;

    TextLog log;
    QueryPerformanceCounter(&start);
    const bool deleted = DeleteDirectory(first, log);
    QueryPerformanceCounter(&end);
    const double ours = Seconds(start, end);

    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    QueryPerformanceCounter(&start);
    const bool ran = RunAndWait(L"\"" + std::wstring(system) + L"\\cmd.exe\" /c rd /s /q \"" + second + L"\"");
    QueryPerformanceCounter(&end);
    const double theirs = Seconds(start, end);

    std::wprintf(L"DeleteDirectory:   %8.3f s\n", ours);
    std::wprintf(L"cmd /c rd /s /q:   %8.3f s\n", theirs);
    std::wprintf(L"ratio (ours/rd):   %8.2f\n", theirs > 0 ? ours / theirs : 0.0);
    if (!deleted || Exists(first)) std::wprintf(L"DeleteDirectory failed: %ls\n", log.Text().c_str());
    if (!ran || Exists(second)) std::wprintf(L"rd did not delete %ls\n", second.c_str());
    return deleted && ran && !Exists(first) && !Exists(second) ? 0 : 1;
}
