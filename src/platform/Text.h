#pragma once
// Conversions between UTF-8 (the library's texts), UTF-16 (Windows' wide
// calls and the log) and the system ANSI code page. The UTF conversions are
// strict; the ANSI ones replace what the code page cannot hold.

#include "platform/Errors.h"

#include <string>
#include <string_view>

class ICUResult : public DebuggableException {
public:
    const char* ClassDisplayName() const noexcept override { return "class ICUResult"; }
};

class CharacterSetResult : public ICUResult {
public:
    const char* ClassDisplayName() const noexcept override { return "class CharacterSetResult"; }
};

// A Windows conversion failed: its error code and the operation's name.
class WindowsCharacterSetResult : public CharacterSetResult {
public:
    WindowsCharacterSetResult(DWORD code, std::string operation)
        : code_(code), operation_(std::move(operation)) {}

    DWORD Code() const noexcept { return code_; }
    const std::string& Operation() const noexcept { return operation_; }
    std::string_view Description() const noexcept override;
    const char* what() const noexcept override;
    const char* ClassDisplayName() const noexcept override { return "class WindowsCharacterSetResult"; }

private:
    DWORD code_;
    std::string operation_;
    std::string characterSet_;  // never set by this program
    mutable std::string description_;
    mutable bool described_ = false;
};

std::string TranscodeU16ToU8(std::wstring_view text);
std::wstring TranscodeU8ToU16(std::string_view text);
std::wstring AnsiToUtf16(std::string_view text);
std::string Utf16ToAnsi(std::wstring_view text);
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

// Expands %NAME% references with ExpandEnvironmentStringsW.
std::string ExpandEnvironmentText(std::string_view text);
