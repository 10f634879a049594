// Holds Wine's desktop for the whole test run. Wine starts its desktop
// process (explorer.exe /desktop) for the first program that uses the
// desktop, and ends it about a second after the last such program ends. The
// tests start one program after another, so without a holder every test
// started a new desktop process, which inherited the test's output pipes and
// kept CTest waiting for that second. tools/test starts this program, with
// no output pipes, before the tests, waits until it has created the file
// named on its command line (the desktop is up then), and ends it with the
// prefix's wineserver. It shows no window.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    // Returns once Wine's desktop process has made the desktop window.
    GetDesktopWindow();
    if (commandLine != nullptr && *commandLine != L'\0') {
        HANDLE ready = CreateFileW(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready == INVALID_HANDLE_VALUE) return 1;
        CloseHandle(ready);
    }
    Sleep(INFINITE);
    return 0;
}
