#pragma once
// Registry reads on keys that are already open, with as few calls as the
// answer needs. Registry.cpp builds its thin and search layers on them, and
// the search index reads its places with the same calls, so both give the
// same results.

#include "platform/UniqueHandle.h"
#include "sysops/Registry.h"

#include <windows.h>

#include <string>
#include <vector>

// The subkey names of an open key in enumeration order: one RegQueryInfoKeyW
// for the longest name, then one RegEnumKeyExW per name (when a longer name
// appears meanwhile, the buffer grows and the call is repeated). Failures
// throw Windows::Error. Test seam: "RegEnumKeyExW".
class SubkeyEnumerator {
public:
    explicit SubkeyEnumerator(HKEY key);
    // The next name; false when there are no more.
    bool Next(std::wstring& name);

private:
    void SizeBuffer();

    HKEY key_;
    DWORD index_ = 0;
    std::vector<wchar_t> buffer_;
};

// Opens name (a path relative to the key) for reading, in the view (the
// program's own unless told; a key opened in the 64-bit view must name that
// view again for every relative open below it).
WindowsPlatform::UniqueRegistryKey OpenSubkeyForReading(HKEY key, const std::wstring& name,
                                                        RegistryView view = RegistryView::Program);

// A value as the registry returned it: its type and the bytes it reported.
struct RawStringValue {
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    std::wstring text;  // cut at its first NUL or where the data ends
};

// Reads the value with one RegQueryValueExW when it fits a small buffer,
// two when it does not. A failing status is thrown (Windows::Error).
RawStringValue QueryStringValue(HKEY key, const wchar_t* valueName);

// The text of a string value of the expected type: throws
// Windows::RegistryValueIsEmpty for zero bytes, Windows::WrongRegistryType
// for another type, Windows::Error when the value cannot be read.
std::wstring QueryTypedString(HKEY key, const wchar_t* valueName, DWORD expectedType);
