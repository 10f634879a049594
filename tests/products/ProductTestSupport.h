#pragma once
// Helpers for the component tests: uninstall entries planted under a name
// of this test process, stand-in uninstallers, copies of lab programs, and
// searches in log texts.

#include "support/LabPaths.h"
#include "support/RegistryFixture.h"
#include "support/TempTree.h"

#include <windows.h>

#include <string>

namespace ProductTest {

inline const std::wstring kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline const std::wstring kAgentAppPathsKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ORVClient.exe";

inline bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

inline size_t Occurrences(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// Plants an uninstall entry with this DisplayName; returns its key path.
inline std::wstring PlantEntry(RegistryFixture& registry, const std::wstring& displayName, const wchar_t* tag = L"Entry") {
    const std::wstring key = kUninstallKey + registry.Unique(tag);
    registry.SetString(HKEY_LOCAL_MACHINE, key, L"DisplayName", displayName);
    return key;
}

// An uninstall string that runs the stand-in uninstaller, which marks the
// file and then stops at the first option it does not know.
inline std::wstring MarkingUninstaller(const std::wstring& markFile) {
    return L"\"" + LabProgram(L"standinuninstaller.exe") + L"\" --mark \"" + markFile + L"\"";
}

// Copies a lab program into the tree under a new name.
inline void CopyLabProgram(TempTree& tree, const wchar_t* program, const std::wstring& relative) {
    const size_t slash = relative.rfind(L'\\');
    if (slash != std::wstring::npos) tree.Folder(relative.substr(0, slash));
    if (!CopyFileW(LabProgram(program).c_str(), tree.Path(relative).c_str(), FALSE))
        throw std::runtime_error("CopyFileW failed: " + std::to_string(GetLastError()));
}

// The start of a Windows Installer uninstall string whose engine is the
// stand-in copied as "MsiExec.exe" into the tree: it marks the file and
// stops at the first option added after it. Wine's own engine is not used: its first run in a
// session starts helper processes that would keep the uninstaller's job
// alive.
inline std::wstring MsiExecEngine(TempTree& tree, const std::wstring& markFile) {
    CopyLabProgram(tree, L"standinuninstaller.exe", L"MsiExec.exe");
    return L"\"" + tree.Path(L"MsiExec.exe") + L"\" --mark \"" + markFile + L"\"";
}

}  // namespace ProductTest
