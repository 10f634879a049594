#include "platform/Text.h"

#include "platform/UniqueHandle.h"

#include <climits>

namespace {

// Both conversion directions share the two-call pattern: ask for the length,
// then convert. A zero result fails the conversion.
template <class Out, class In, class Fail>
Out Convert(std::basic_string_view<In> text, int (*convert)(const In*, int, typename Out::value_type*, int),
            Fail fail) {
    Out out;
    if (text.empty()) return out;
    if (text.size() > static_cast<size_t>(INT_MAX)) fail(ERROR_INVALID_PARAMETER);
    const int inLength = static_cast<int>(text.size());
    const int length = convert(text.data(), inLength, nullptr, 0);
    if (length == 0) fail(GetLastError());
    out.resize(static_cast<size_t>(length));
    if (convert(text.data(), inLength, out.data(), length) == 0) fail(GetLastError());
    return out;
}

int StrictToU8(const wchar_t* in, int n, char* out, int size) {
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, in, n, out, size, nullptr, nullptr);
}
int StrictToU16(const char* in, int n, wchar_t* out, int size) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in, n, out, size);
}
int LenientToU8(const wchar_t* in, int n, char* out, int size) {
    return WideCharToMultiByte(CP_UTF8, 0, in, n, out, size, nullptr, nullptr);
}
int LenientToU16(const char* in, int n, wchar_t* out, int size) {
    return MultiByteToWideChar(CP_UTF8, 0, in, n, out, size);
}
int AnsiToU16(const char* in, int n, wchar_t* out, int size) {
    return MultiByteToWideChar(CP_ACP, 0, in, n, out, size);
}
int U16ToAnsi(const wchar_t* in, int n, char* out, int size) {
    return WideCharToMultiByte(CP_ACP, 0, in, n, out, size, nullptr, nullptr);
}

[[noreturn]] void ThrowWindowsError(DWORD code) { throw Windows::Error(code); }

// The English system text of code, cut at its first CR LF.
std::string EnglishSystemText(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<char*>(&buffer), 0,
        nullptr);
    WindowsPlatform::UniqueLocalMemory guard(buffer);
    if (length == 0 || buffer == nullptr) return {};
    std::string text(buffer, length);
    const size_t end = text.find("\r\n");
    if (end != std::string::npos) text.resize(end);
    return text;
}

}  // namespace

std::string_view WindowsCharacterSetResult::Description() const noexcept {
    if (!described_) {
        try {
            std::string text = "WindowsCharacterSetResult:";
            if (!characterSet_.empty()) text += " " + characterSet_ + ":";
            text += " Error " + std::to_string(code_) + " (" + EnglishSystemText(code_) + ")";
            if (!operation_.empty()) text += " in " + operation_;
            description_ = std::move(text);
        } catch (...) {
            description_ = ClassDisplayName();
        }
        described_ = true;
    }
    return description_;
}

const char* WindowsCharacterSetResult::what() const noexcept {
    Description();
    return description_.c_str();
}

std::string TranscodeU16ToU8(std::wstring_view text) {
    return Convert<std::string>(text, StrictToU8,
                                [](DWORD code) -> void { throw WindowsCharacterSetResult(code, "TranscodeU16ToU8"); });
}

std::wstring TranscodeU8ToU16(std::string_view text) {
    return Convert<std::wstring>(text, StrictToU16,
                                 [](DWORD code) -> void { throw WindowsCharacterSetResult(code, "TranscodeU8ToU16"); });
}

std::wstring AnsiToUtf16(std::string_view text) {
    return Convert<std::wstring>(text, AnsiToU16, ThrowWindowsError);
}

std::string Utf16ToAnsi(std::wstring_view text) {
    return Convert<std::string>(text, U16ToAnsi, ThrowWindowsError);
}

std::string AnsiToUtf8(std::string_view text) {
    const std::wstring wide = AnsiToUtf16(text);
    return Convert<std::string>(std::wstring_view(wide), LenientToU8, ThrowWindowsError);
}

std::string Utf8ToAnsi(std::string_view text) {
    const std::wstring wide = Convert<std::wstring>(text, LenientToU16, ThrowWindowsError);
    return Utf16ToAnsi(wide);
}

std::string ExpandEnvironmentText(std::string_view text) {
    const std::wstring wide = TranscodeU8ToU16(text);
    const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (needed == 0) ThrowLastError();
    std::wstring expanded(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), needed);
    ThrowLastErrorIfFalse(written != 0);
    // The count includes the terminating NUL; a larger count means the
    // environment grew between the calls, and the buffer holds only needed.
    expanded.resize((written < needed ? written : needed) - 1);
    return TranscodeU16ToU8(expanded);
}
