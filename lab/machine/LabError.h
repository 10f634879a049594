#pragma once
// Failures of the lab machine: a planting or reset step that did not work
// throws Lab::Error, whose text names the Windows call, its target and the
// error code, so that a failing test says what the lab could not do.

#include <windows.h>

#include <stdexcept>
#include <string>

namespace Lab {

class Error : public std::runtime_error {
public:
    explicit Error(const std::wstring& text);
    const std::wstring& Text() const { return text_; }

private:
    std::wstring text_;
};

// Throws "call target: code" when status is not ERROR_SUCCESS.
void ThrowIfFailed(LONG status, const wchar_t* call, const std::wstring& target);
[[noreturn]] void ThrowLastError(const wchar_t* call, const std::wstring& target);

}  // namespace Lab
