#include "log/FileLog.h"

#include "platform/Errors.h"

#include <utility>

namespace Remove {

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// UTF-8 of a UTF-16 text; an unpaired surrogate becomes U+FFFD rather than
// failing, so that no piece of the log is ever lost to its encoding.
std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

std::unique_ptr<FileLog> FileLog::Create(const std::wstring& path) {
    WindowsPlatform::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError();
    std::unique_ptr<FileLog> log(new FileLog(std::move(file)));
    ThrowIfError(log->WriteBytes("\xEF\xBB\xBF"));
    return log;
}

FileLog::~FileLog() {
    // A high surrogate that never met its partner stands for what was lost.
    if (pendingHighSurrogate_ != 0) WriteBytes("\xEF\xBF\xBD");
}

void FileLog::Write(const wchar_t* text) {
    if (text == nullptr) return;
    try {
        WriteBytes(Encode(text));
    } catch (...) {
        // Callers write from their own catch handlers: nothing may escape.
        writeFailed_ = true;
    }
}

std::string FileLog::Encode(const wchar_t* text) {
    std::wstring piece;
    if (pendingHighSurrogate_ != 0) piece += std::exchange(pendingHighSurrogate_, 0);
    for (const wchar_t* c = text; *c != 0; ++c) {
        if (*c == L'\n' && !lastWasCarriageReturn_) piece += L'\r';
        piece += *c;
        lastWasCarriageReturn_ = *c == L'\r';
    }
    if (!piece.empty() && IsHighSurrogate(piece.back())) {
        pendingHighSurrogate_ = piece.back();
        piece.pop_back();
    }
    return ToUtf8(piece);
}

DWORD FileLog::WriteBytes(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(bytes.size() - done);
        const BOOL ok = WriteFile(handle_, bytes.data() + done, chunk, &written, nullptr);
        const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
        if (!ok || written == 0) {
            writeFailed_ = true;
            return error != ERROR_SUCCESS ? error : static_cast<DWORD>(ERROR_WRITE_FAULT);
        }
        done += written;
    }
    return ERROR_SUCCESS;
}

}  // namespace Remove
