#pragma once
// The log text of a failed Windows call, as the catch sites write it:
// "Windows Error 0x5: Access is denied." in this system's wording.

#include "platform/Errors.h"
#include "platform/Text.h"

#include <string>

inline std::wstring WindowsErrorText(DWORD code) {
    return TranscodeU8ToU16(std::string(Windows::Error(code).Description()));
}
