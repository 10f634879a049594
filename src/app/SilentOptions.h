#pragma once
// The switches of an unattended run beyond the selection: where the log
// goes, where deleted registry keys are backed up, and the detection-only
// report, the removal plan ("/whatif"), the time limit of every uninstaller
// run. Valued switches ("/log=PATH", "/backup=FOLDER", "/timeout=SECONDS",
// "/report=PATH") are cut out of the
// argument text, value and all, before any switch is matched as a substring,
// so a path such as C:/logs/client/x.log selects nothing.

#include <optional>
#include <string>

extern const wchar_t kLogSwitch[];     // "/log="
extern const wchar_t kBackupSwitch[];  // "/backup="
extern const wchar_t kDetectSwitch[];  // "/detect"
extern const wchar_t kWhatIfSwitch[];  // "/whatif"
extern const wchar_t kTimeoutSwitch[]; // "/timeout="
extern const wchar_t kReportSwitch[];  // "/report="

struct SilentOptions {
    // The argument text with every valued switch replaced by one blank; the
    // text that "/silent", "/detect" and the selection switches are matched in.
    std::wstring switchText;
    std::optional<std::wstring> logPath;
    std::optional<std::wstring> backupFolder;
    std::optional<std::wstring> timeout;  // the value as given
    std::optional<std::wstring> reportPath;
    bool detect = false;
    bool whatif = false;
};

// A value runs to the next blank or tab; a value that begins with a double
// quote, or a switch that stands inside a quoted stretch of the text
// ("/log=C:\a b\x.log" in quotes), runs to the next double quote. A switch
// given more than once counts with its last value; an empty value is kept
// as an empty text.
SilentOptions ParseSilentOptions(const std::wstring& argumentText);

// The seconds of a "/timeout=" value: a positive whole number of decimal
// digits alone that fits in 32 bits; absent for anything else.
std::optional<unsigned long> TimeoutSeconds(const std::wstring& value);
