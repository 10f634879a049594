#include "platform/Errors.h"

#include "platform/Format.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(std::string text) {
    size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin])) ++begin;
    size_t end = text.size();
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

}  // namespace

ExceptionPL ExceptionPL::FromAnsi(const char* ansiMessage) { return ExceptionPL(AnsiToUtf8(ansiMessage)); }

std::string_view ExceptionPL::Description() const noexcept {
    if (message_.empty()) return ClassDisplayName();
    return message_;
}

const char* ExceptionPL::what() const noexcept {
    if (!whatBuilt_) {
        try {
            ansiWhat_ = Utf8ToAnsi(Description());
        } catch (...) {
            ansiWhat_ = ClassDisplayName();
        }
        whatBuilt_ = true;
    }
    return ansiWhat_.c_str();
}

std::string_view Windows::Error::Description() const noexcept {
    if (!described_) {
        try {
            description_ = Format("Windows Error 0x{err}: {msg}", HexDigits(code_), SystemMessageText(code_, module_));
        } catch (...) {
            description_ = ClassDisplayName();
        }
        described_ = true;
    }
    return description_;
}

const char* Windows::Error::what() const noexcept {
    if (!whatBuilt_) {
        try {
            what_ = Utf8ToAnsi(Description());
        } catch (...) {
            what_ = ClassDisplayName();
        }
        whatBuilt_ = true;
    }
    return what_.c_str();
}

std::string_view FileIOError::Description() const noexcept {
    if (!described_) {
        try {
            std::string text = Format("File error \"{e}\"", ClassDisplayName());
            if (!firstPath_.empty()) text = Format("{s} on \"{p}\"", text, firstPath_);
            if (!secondPath_.empty()) text = Format("{s} and \"{p}\"", text, secondPath_);
            if (code_ != 0) {
                const std::string error = Format("Windows Error 0x{e}%: {s}", HexDigits(code_), SystemMessageText(code_));
                text = Format("{s} : \"{e}\"", text, error);
            }
            description_ = std::move(text);
        } catch (...) {
            description_ = ClassDisplayName();
        }
        described_ = true;
    }
    return description_;
}

void ThrowIfError(DWORD code, HMODULE module) {
    if (code != 0) throw Windows::Error(code, module);
}

void ThrowLastError() { throw Windows::Error(GetLastError()); }

void ThrowLastErrorIfFalse(BOOL result) {
    if (!result) ThrowLastError();
}

std::string HexDigits(DWORD code) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[code & 0xF]);
        code >>= 4;
    } while (code != 0);
    return text;
}

std::string SystemMessageText(DWORD code, HMODULE module) {
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (module != nullptr) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(flags, module, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    WindowsPlatform::UniqueLocalMemory guard(buffer);
    if (length == 0 || buffer == nullptr) return "unknown error 0x" + HexDigits(code);
    return Trimmed(TranscodeU16ToU8(std::wstring_view(buffer, length)));
}

std::string DescribeCurrentException() {
    try {
        throw;
    } catch (const DebuggableException& e) {
        return std::string(e.Description());
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "No diagnostic message available";
    }
}
