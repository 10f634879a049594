#pragma once
// The version of the running Windows, taken from the product version of the
// system's own kernel32.dll rather than from GetVersionExW, whose answer
// depends on the executable's manifest. Read once and kept for the life of
// the process.

#include <windows.h>

struct WindowsVersionNumber {
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
    // The update build revision ("UBR"); 0 when Windows does not record one.
    DWORD revision = 0;
    DWORD partCount = 4;
};

// 0.0.0.0 when kernel32.dll's version resource cannot be read.
const WindowsVersionNumber& WindowsVersion();

// Whether Windows is major.minor or later. Throws ExceptionPL "Unable to
// gather OSVERSIONINFOEX" when GetVersionExW fails (on this and every
// later call).
bool IsWindowsVersionAtLeast(DWORD major, DWORD minor);

// The version read from one file's version resource, for a file other than
// kernel32.dll; 0.0.0 (and no revision) when it cannot be read.
WindowsVersionNumber ReadProductVersion(const wchar_t* path);
