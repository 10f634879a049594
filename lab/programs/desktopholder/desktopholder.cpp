// Holds Wine's desktop for the whole test run. Wine starts its desktop
// process (explorer.exe /desktop) for the first program that uses the
// desktop, and ends it about a second after the last such program ends. The
// tests start one program after another, so without a holder every test
// started a new desktop process, which inherited the test's output pipes and
// kept CTest waiting for that second. tools/test starts this program, with
// no output pipes, before the tests and ends it with the prefix's
// wineserver. It shows no window.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}
