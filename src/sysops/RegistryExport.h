#pragma once
// Key trees in the registry editor's text format ("Windows Registry Editor
// Version 5.00"), so that `reg import` or the registry editor writes them
// back exactly: every value with its type and its bytes as stored.
//
// Keys are named where Windows keeps them, not as this program sees them:
// a key that this 32-bit program opens as HKLM\SOFTWARE\X on 64-bit Windows is
// written as HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\X, and a key of
// HKEY_CURRENT_USER as HKEY_USERS\<the user's SID>\..., so the text restores
// the key in its place whichever view the importing program has.

#include "sysops/Registry.h"

#include <windows.h>

#include <optional>
#include <string>

// The first line of a file and the empty line after it.
extern const wchar_t kRegFileHeader[];

// The key's full name as the registry editor writes it. Throws ExceptionPL
// for a key that lies neither under HKEY_LOCAL_MACHINE nor HKEY_USERS, and
// Windows::Error when Windows does not tell the name.
std::wstring RegFileKeyName(HKEY key);

// One value as its line (or lines, continued with "\\"), ended by CR LF:
// "name"="text" for a REG_SZ holding one text and its terminating NUL,
// dword:0000002a for a REG_DWORD of four bytes, hex:... for REG_BINARY and
// hex(type):... with the bytes as stored for everything else. The default
// value (empty name) is written as @. Throws ExceptionPL for a name that the
// format cannot carry (control characters).
std::wstring RegFileValueLines(const std::wstring& name, DWORD type, const BYTE* data, DWORD size);

// The lines of one value of an open key; absent when the key has no such
// value. Throws when the value cannot be read or written down.
std::optional<std::wstring> RegFileValueOf(HKEY key, const std::wstring& name);

// The blocks of root\path (opened in the view) and of every key below it
// (in the same view), each key before its subkeys, each block ended by an
// empty line. Throws when a key or value cannot be read or written down.
std::wstring ExportKeyTree(HKEY root, const std::wstring& path, RegistryView view = RegistryView::Program);

// Where Windows keeps root\path, named as the log names keys: the root's
// short name and the kernel's path, "HKLM\SOFTWARE\Wow6432Node\X" for
// HKLM\SOFTWARE\X of a 32-bit program on 64-bit Windows, "HKU\<SID>\..."
// for a key of HKEY_CURRENT_USER. KeyDisplayName(root, path) when the key
// cannot be opened or named. Never throws.
std::wstring KeyPlaceName(HKEY root, const std::wstring& path, RegistryView view);
