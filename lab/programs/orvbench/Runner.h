#pragma once
// Runs one command and measures it from process start to process end. With
// a log file to follow, it reads the file while the command writes it and
// notes when each piece of text appeared; from those times it takes how long
// the command spent inside uninstallers (from "Running uninstaller for" to
// the end of the line that says the wait is over) and waiting for services
// to stop (from "Stopping service" to the end of that line).

#include <string>

namespace Bench {

struct RunTimes {
    double total = 0;          // seconds
    double cpu = 0;            // seconds the command's own process ran (user and kernel)
    double uninstallers = 0;   // seconds, with a followed log
    double serviceWaits = 0;   // seconds, with a followed log
    unsigned uninstallerRuns = 0;
    unsigned serviceStops = 0;
    unsigned long exitCode = 0;
};

// Runs the command with standard output and error going nowhere; logPath
// empty: no log is followed. The log file is deleted before the start.
// With a timeline path, the log's lines go there, each with the seconds
// from the start to when it was complete.
RunTimes TimeCommand(const std::wstring& commandLine, const std::wstring& logPath,
                     const std::wstring& timelinePath = {});

}  // namespace Bench
