#include "log/Log.h"

#include "platform/Errors.h"
#include "platform/Text.h"

namespace Remove {

void Log::Write(const wchar_t*) {}

void Log::WriteError(const wchar_t*) {}

void Log::WriteDetectionBanner(const wchar_t* name) {
    WriteBanner(L"**************************************************", L"* Detecting ", name);
}

void Log::WriteRemovalBanner(const wchar_t* name) {
    WriteBanner(L"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", L"x Removing ", name);
}

void Log::WriteBanner(const wchar_t* rule, const wchar_t* title, const wchar_t* name) {
    Write(L"\r\n");
    Write(rule);
    Write(L"\r\n");
    Write(title);
    Write(name);
    Write(L"\r\n");
    Write(rule);
    Write(L"\r\n");
}

void Log::WriteCurrentException() {
    const std::string description = DescribeCurrentException();
    std::wstring text;
    try {
        text = TranscodeU8ToU16(description);
    } catch (...) {
        // A what() text taken byte for byte from a foreign exception may be
        // in the ANSI code page rather than UTF-8. Reading it as ANSI keeps
        // the step's failure in the log instead of throwing out of the
        // handler that reports it.
        text = AnsiToUtf16(description);
    }
    Write(text.c_str());
}

}  // namespace Remove
