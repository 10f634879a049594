#include "log/MessageLog.h"

namespace Remove {

void PendingLines::Append(const wchar_t* text) {
    if (!text) return;
    std::wstring copy(text);
    WindowsPlatform::CriticalSectionLock hold(lock_);
    lines_.push_back(std::move(copy));
}

std::vector<std::wstring> PendingLines::TakeAll() {
    std::vector<std::wstring> taken;
    WindowsPlatform::CriticalSectionLock hold(lock_);
    taken.swap(lines_);
    return taken;
}

std::wstring PendingLines::TakeText() {
    const std::vector<std::wstring> taken = TakeAll();
    size_t length = 0;
    for (const auto& piece : taken) length += piece.size();
    std::wstring text;
    text.reserve(length);
    for (const auto& piece : taken) text += piece;
    return text;
}

void MessageLog::Write(const wchar_t* text) { pending_.Append(text); }

void MessageLog::WriteError(const wchar_t* text) { pending_.Append(text); }

}  // namespace Remove
