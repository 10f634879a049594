#include "app/RunReporting.h"

#include "app/ReportWriter.h"

namespace {

RunMode ModeOf(const SilentOptions& options) {
    if (options.detect) return RunMode::Detect;
    if (options.whatif) return RunMode::WhatIf;
    return RunMode::Remove;
}

// "every selected component is gone" out of "Exit code 0: every selected
// component is gone".
std::wstring ExitMeaning(SilentExitCode code) {
    const std::wstring line = ExitCodeLine(code);
    const size_t colon = line.find(L": ");
    return colon == std::wstring::npos ? line : line.substr(colon + 2);
}

bool YieldsToUnwrittenReport(SilentExitCode code) {
    return code == SilentExitCode::Removed || code == SilentExitCode::ComponentsInstalled ||
           code == SilentExitCode::RestartNeeded;
}

}  // namespace

RunReporting::RunReporting(const SilentOptions& options, const std::wstring& argumentText, Remove::Log& log)
    : path_(options.reportPath),
      recorder_(argumentText, ModeOf(options)),
      log_(log, [this](const std::wstring& line) { recorder_.StepFailed(line); },
           [this](const std::wstring& line) { recorder_.LineWritten(line); }),
      events_(&recorder_),
      progress_(&recorder_) {}

SilentExitCode RunReporting::Finish(SilentExitCode code) {
    if (!path_) return code;
    try {
        const RunReport& report = recorder_.Finish(static_cast<int>(code), ExitMeaning(code));
        WriteFileWhole(*path_, ReportJson(report));
        return code;
    } catch (...) {
        log_.Write(L"Report: cannot be written to \"" + *path_ + L"\": ");
        log_.WriteCurrentException();
        log_.EndLine();
    }
    return YieldsToUnwrittenReport(code) ? SilentExitCode::LocationNotWritable : code;
}
