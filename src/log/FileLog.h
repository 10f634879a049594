#pragma once
// A removal log that goes to a file (or to an inherited handle such as
// standard output) as UTF-8 with CR LF line ends. Every piece is written
// through to Windows at once, without a buffer of its own, so a run that is
// killed keeps everything it wrote.

#include "log/Log.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <memory>
#include <string>

namespace Remove {

class FileLog : public Log {
public:
    // Creates the file, replacing one that exists, and writes the UTF-8
    // byte-order mark. Others may read the file while it is written. Throws
    // Windows::Error when the file cannot be created or the mark not written.
    static std::unique_ptr<FileLog> Create(const std::wstring& path);

    // Writes to a handle that stays the caller's, without a byte-order mark.
    explicit FileLog(HANDLE borrowed) : handle_(borrowed) {}
    ~FileLog() override;
    FileLog(const FileLog&) = delete;
    FileLog& operator=(const FileLog&) = delete;

    using Log::Write;
    void Write(const wchar_t* text) override;
    void WriteError(const wchar_t* text) override { Write(text); }

    // True once a write has failed; the log goes on trying later writes.
    bool WriteFailed() const noexcept { return writeFailed_; }

private:
    explicit FileLog(WindowsPlatform::UniqueFileHandle owned) : owned_(std::move(owned)), handle_(owned_.Get()) {}

    // The bytes of text: a lone LF becomes CR LF, a high surrogate at the
    // end is kept back until the next piece brings its partner.
    std::string Encode(const wchar_t* text);
    // 0, or the error of the write that failed.
    DWORD WriteBytes(const std::string& bytes);

    WindowsPlatform::UniqueFileHandle owned_;
    HANDLE handle_;
    bool lastWasCarriageReturn_ = false;
    wchar_t pendingHighSurrogate_ = 0;
    bool writeFailed_ = false;
};

}  // namespace Remove
