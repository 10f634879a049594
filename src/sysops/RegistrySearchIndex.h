#pragma once
// The index behind the registry searches: for each place that is searched
// again and again (the Uninstall entries and the Windows Installer records,
// hundreds or thousands of keys on a cluttered machine), the names of its
// subkeys and, for each value name asked for, that string value of every
// subkey. A search answered from it gives exactly what reading the registry
// afresh gives, because the index asks Windows to signal every change below
// the place (new, deleted or renamed keys, changed values, changed security)
// and reads the place again after any change, whoever made it: the program
// itself, an uninstaller it ran, or any other process.
//
// Only places under HKEY_LOCAL_MACHINE are indexed, each in its registry
// view: the same path in the program's view and in the 64-bit view are two
// places. A place whose key itself was deleted is read again too. A value
// that could not be read for a passing reason (anything but a missing key or
// value, an empty or otherwise typed value, or denied access) answers its
// search but is not kept. The index is shared by all threads; on Windows a change
// notification also fires when the thread that asked for it ends, so a
// place is read again after each worker thread's pass.

#include "sysops/Registry.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The subkeys s of root\parentPath whose key s\subPath (s itself when subPath
// is empty) holds a REG_SZ value valueName of more than zero bytes that
// reads as expected (whole text, case-sensitive), or any such text when
// expected is absent; in enumeration order. Absent when the place cannot be
// indexed (another root, or the change notification cannot be set up):
// search afresh then. Every key is opened in the view.
std::optional<std::vector<std::wstring>> IndexedSubkeySearch(HKEY root, const std::wstring& parentPath,
                                                             const std::wstring& subPath, const wchar_t* valueName,
                                                             const std::optional<std::wstring>& expected,
                                                             RegistryView view = RegistryView::Program);

// The names of the subkeys of root\path (opened in the view) in enumeration
// order, as EnumerateSubkeys gives them afresh; absent when the place cannot
// be indexed.
std::optional<std::vector<std::wstring>> IndexedSubkeyNames(HKEY root, const std::wstring& path,
                                                            RegistryView view = RegistryView::Program);

// How much reading the index has done in this process, for tests that make
// sure a search was answered from it, or read again after a change.
struct RegistrySearchIndexCounts {
    unsigned listings = 0;  // times a place's subkeys were enumerated
    unsigned columns = 0;   // times one value of every subkey was read
};
RegistrySearchIndexCounts CurrentRegistrySearchIndexCounts();
