#include "app/FailedStepLog.h"

namespace Remove {

namespace {

// The texts the removal steps write when a step fails, in their words.
const wchar_t* const kFailureTexts[] = {
    L"Windows Error",          // a failed Windows call, both forms
    L"error ",                 // "...error occured while ...", "error encountered: ", "...error creating process: "
    L"failed",                 // "...wait failed", "failed to delete service: ", "failed to delete DSN"
    L"Failed to delete",       //
    L"refused: ",              // the folder guard
    L"did not finish within",  // an uninstaller ended at the time limit
    L"abandoning wait",        // a service that did not stop
    L"appears unsuccessful",   // an uninstaller that left its component behind
};

// Longer lines are cut: a failure never needs more, and a runaway line must
// not grow without end.
constexpr size_t kLongestLine = 4096;

}  // namespace

bool IsFailedStepLine(const std::wstring& line) {
    for (const wchar_t* text : kFailureTexts)
        if (line.find(text) != std::wstring::npos) return true;
    return false;
}

void FailedStepLog::Write(const wchar_t* text) {
    inner_.Write(text);
    Collect(text);
}

void FailedStepLog::WriteError(const wchar_t* text) {
    inner_.WriteError(text);
    Collect(text);
}

void FailedStepLog::Collect(const wchar_t* text) {
    try {
        for (const wchar_t* c = text; *c != L'\0'; ++c) {
            if (*c == L'\n') {
                if (!line_.empty() && line_.back() == L'\r') line_.pop_back();
                if (every_) every_(line_);
                if (IsFailedStepLine(line_)) failed_(line_);
                line_.clear();
            } else if (line_.size() < kLongestLine) {
                line_ += *c;
            }
        }
    } catch (...) {
        // The report loses the line; the log has it.
        line_.clear();
    }
}

}  // namespace Remove
