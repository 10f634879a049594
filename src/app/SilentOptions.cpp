#include "app/SilentOptions.h"

#include "app/CommandLine.h"

#include <algorithm>
#include <cwchar>

const wchar_t kLogSwitch[] = L"/log=";
const wchar_t kBackupSwitch[] = L"/backup=";
const wchar_t kDetectSwitch[] = L"/detect";
const wchar_t kTimeoutSwitch[] = L"/timeout=";
const wchar_t kReportSwitch[] = L"/report=";
const wchar_t kWhatIfSwitch[] = L"/whatif";

namespace {

struct Found {
    size_t position = std::wstring::npos;
    const wchar_t* name = nullptr;
};

// The valued switch that occurs first at or after from.
Found FirstValuedSwitch(const std::wstring& text, size_t from) {
    Found first;
    for (const wchar_t* name : {kLogSwitch, kBackupSwitch, kTimeoutSwitch, kReportSwitch}) {
        const size_t at = text.find(name, from);
        if (at < first.position) first = {at, name};
    }
    return first;
}

bool InsideQuotes(const std::wstring& text, size_t position) {
    return std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(position), L'"') % 2 == 1;
}

// Reads the value that starts at begin; end receives the position after
// everything that belongs to the switch.
std::wstring ReadValue(const std::wstring& text, size_t begin, bool quoted, size_t& end) {
    if (quoted) {
        const size_t close = text.find(L'"', begin);
        end = close == std::wstring::npos ? text.size() : close;
        return text.substr(begin, end - begin);
    }
    if (begin < text.size() && text[begin] == L'"') {
        const size_t close = text.find(L'"', begin + 1);
        end = close == std::wstring::npos ? text.size() : close + 1;
        return text.substr(begin + 1, (close == std::wstring::npos ? text.size() : close) - begin - 1);
    }
    end = text.find_first_of(L" \t", begin);
    if (end == std::wstring::npos) end = text.size();
    return text.substr(begin, end - begin);
}

}  // namespace

SilentOptions ParseSilentOptions(const std::wstring& argumentText) {
    SilentOptions options;
    std::wstring text = argumentText;
    // Left to right, so that a path holding the other switch's name belongs
    // to the switch it follows.
    for (Found found = FirstValuedSwitch(text, 0); found.name != nullptr;
         found = FirstValuedSwitch(text, found.position)) {
        const size_t begin = found.position + std::wcslen(found.name);
        size_t end = begin;
        std::wstring value = ReadValue(text, begin, InsideQuotes(text, found.position), end);
        std::optional<std::wstring>& target = found.name == kLogSwitch      ? options.logPath
                                              : found.name == kBackupSwitch ? options.backupFolder
                                              : found.name == kReportSwitch ? options.reportPath
                                                                            : options.timeout;
        target = std::move(value);
        // One blank keeps the texts on either side from joining into a switch.
        text.replace(found.position, end - found.position, L" ");
    }
    options.detect = HasSwitch(text, kDetectSwitch);
    options.whatif = HasSwitch(text, kWhatIfSwitch);
    options.switchText = std::move(text);
    return options;
}

std::optional<unsigned long> TimeoutSeconds(const std::wstring& value) {
    if (value.empty() || value.size() > 10) return std::nullopt;
    unsigned long long seconds = 0;
    for (wchar_t digit : value) {
        if (digit < L'0' || digit > L'9') return std::nullopt;
        seconds = seconds * 10 + static_cast<unsigned>(digit - L'0');
    }
    if (seconds == 0 || seconds > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<unsigned long>(seconds);
}
