#pragma once
// Switches on the command line are case-sensitive substrings of the whole
// argument text: no tokens, no word boundaries ("/clients" holds "/client").

#include <string>

inline bool HasSwitch(const std::wstring& argumentText, const wchar_t* switchText) {
    return argumentText.find(switchText) != std::wstring::npos;
}
