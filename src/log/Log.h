#pragma once
// The removal log: the one channel through which every detection and removal
// step tells what it does. The plain log discards everything; the dialog's
// sink queues the text for its log pane.

#include <string>

namespace Remove {

class Log {
public:
    virtual ~Log() = default;

    // Appends text unchanged: no line break, blank or prefix is added.
    virtual void Write(const wchar_t* text);
    // Appends text that the sink may mark as an error.
    virtual void WriteError(const wchar_t* text);

    void Write(const std::wstring& text) { Write(text.c_str()); }
    // The line break, written with its own call.
    void EndLine() { Write(L"\r\n"); }

    void WriteDetectionBanner(const wchar_t* name);
    void WriteRemovalBanner(const wchar_t* name);

    // Writes the description of the exception in flight; call only inside a
    // catch handler. The caller writes its own prefix and line end.
    void WriteCurrentException();

private:
    void WriteBanner(const wchar_t* rule, const wchar_t* title, const wchar_t* name);
};

}  // namespace Remove
