#pragma once
// A log that keeps every piece written to it, for assertions on whole texts.

#include "log/Log.h"

#include <string>
#include <vector>

class RecordingLog : public Remove::Log {
public:
    using Remove::Log::Write;
    void Write(const wchar_t* text) override { pieces.emplace_back(text); }
    void WriteError(const wchar_t* text) override { errors.emplace_back(text); }

    std::wstring Text() const {
        std::wstring all;
        for (const auto& piece : pieces) all += piece;
        return all;
    }

    std::vector<std::wstring> pieces;
    std::vector<std::wstring> errors;
};
