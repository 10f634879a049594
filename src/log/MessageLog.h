#pragma once
// The dialog's removal log. Any thread may write to it: the text goes into
// a locked queue, and the UI thread takes the queued text out on its timer
// and appends it to the log pane. Nothing here touches a window.

#include "log/Log.h"
#include "platform/CriticalSection.h"

#include <string>
#include <vector>

namespace Remove {

// Log text waiting for the log pane, in the order written.
class PendingLines {
public:
    PendingLines() = default;
    PendingLines(const PendingLines&) = delete;
    PendingLines& operator=(const PendingLines&) = delete;

    // Queues a copy of text.
    void Append(const wchar_t* text);
    // Empties the queue and returns what it held.
    std::vector<std::wstring> TakeAll();
    // Empties the queue and returns its pieces joined in order; empty when
    // nothing was queued.
    std::wstring TakeText();

private:
    WindowsPlatform::CriticalSection lock_;
    std::vector<std::wstring> lines_;
};

class MessageLog : public Log {
public:
    // The queue is not owned and must outlive the log.
    explicit MessageLog(PendingLines& pending) : pending_(pending) {}

    using Log::Write;
    void Write(const wchar_t* text) override;
    // Shown like any other text.
    void WriteError(const wchar_t* text) override;

private:
    PendingLines& pending_;
};

}  // namespace Remove
