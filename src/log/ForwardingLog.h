#pragma once
// A log that passes everything on to another log, unless it is muted: for
// steps whose lines do not belong in the run's log (a plan made only to
// learn what a removal would touch).

#include "log/Log.h"

namespace Remove {

class ForwardingLog : public Log {
public:
    explicit ForwardingLog(Log& target) : target_(target) {}

    using Log::Write;
    void Write(const wchar_t* text) override {
        if (!muted) target_.Write(text);
    }
    void WriteError(const wchar_t* text) override {
        if (!muted) target_.WriteError(text);
    }

    Log& Target() { return target_; }

    bool muted = false;

private:
    Log& target_;
};

}  // namespace Remove
