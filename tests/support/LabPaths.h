#pragma once
// Where the test bench keeps its lab programs: beside the test program.

#include <windows.h>

#include <string>

inline std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

// Full Windows path of a lab program, for example LabProgram(L"labservice.exe").
inline std::wstring LabProgram(const wchar_t* fileName) { return TestProgramFolder() + L"\\" + fileName; }

// The test bench's build of ORVRemove.exe, one folder above the test program.
inline std::wstring ProductProgram() {
    const std::wstring bin = TestProgramFolder();
    return bin.substr(0, bin.find_last_of(L"\\/")) + L"\\ORVRemove.exe";
}
