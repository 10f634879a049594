#pragma once
// A log that passes every piece on unchanged to another log and hands each
// complete line that tells of a failed step to a callback, for the run
// report. A line tells of a failure when it holds one of the failure texts
// that the removal steps write: a Windows error, "error ...", "failed",
// "refused: ", "did not finish within", "abandoning wait", "appears
// unsuccessful". A second, optional callback gets every complete line.

#include "log/Log.h"

#include <functional>
#include <string>

namespace Remove {

class FailedStepLog : public Log {
public:
    using Callback = std::function<void(const std::wstring& line)>;

    FailedStepLog(Log& inner, Callback failed, Callback every = {})
        : inner_(inner), failed_(std::move(failed)), every_(std::move(every)) {}

    using Log::Write;
    void Write(const wchar_t* text) override;
    void WriteError(const wchar_t* text) override;

private:
    void Collect(const wchar_t* text);

    Log& inner_;
    Callback failed_;
    Callback every_;
    std::wstring line_;
};

// True when the line (without its line end) tells of a failed step.
bool IsFailedStepLine(const std::wstring& line);

}  // namespace Remove
