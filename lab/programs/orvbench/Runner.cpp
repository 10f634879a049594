#include "Runner.h"

#include "LabError.h"
#include "LabFiles.h"

#include <cstdio>
#include <windows.h>

#include <string>
#include <vector>

namespace Bench {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }
    void Reset(HANDLE handle) {
        if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr) CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return static_cast<double>(value.QuadPart) / frequency;
}

// The text of a followed log and when each of its pieces was first seen.
class FollowedLog {
public:
    explicit FollowedLog(std::wstring path) : path_(std::move(path)) {}

    void Poll(double now) {
        if (file_.Get() == INVALID_HANDLE_VALUE) {
            file_.Reset(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file_.Get() == INVALID_HANDLE_VALUE) return;
        }
        char buffer[65536];
        DWORD read = 0;
        while (ReadFile(file_.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
            text_.append(buffer, read);
            seen_.push_back({text_.size(), now});
        }
    }

    // When the byte at offset had appeared.
    double TimeAt(size_t offset) const {
        for (const Piece& piece : seen_)
            if (piece.end > offset) return piece.time;
        return seen_.empty() ? 0 : seen_.back().time;
    }

    // Sums the spans from each start marker to the end of the line holding
    // the first end marker after it (or of the start's own line when endMarker
    // is empty); counts them.
    double Spans(const char* startMarker, const char* endMarker, unsigned& count) const {
        double total = 0;
        for (size_t start = text_.find(startMarker); start != std::string::npos;
             start = text_.find(startMarker, start + 1)) {
            size_t end = start;
            if (*endMarker != '\0') {
                // A run that did not get as far as its end marker is left out.
                end = text_.find(endMarker, start);
                if (end == std::string::npos || end > text_.find(startMarker, start + 1)) continue;
            }
            end = text_.find("\r\n", end);
            if (end == std::string::npos) end = text_.size() - 1;
            total += TimeAt(end) - TimeAt(start);
            ++count;
        }
        return total;
    }

    // Every line of the log with the seconds from start to when its end
    // appeared, for finding where the time goes.
    std::string Timeline(double start) const {
        std::string lines;
        size_t begin = 0;
        for (size_t end = text_.find("\r\n"); end != std::string::npos; end = text_.find("\r\n", begin)) {
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "%9.4f  ", TimeAt(end) - start);
            lines += stamp + text_.substr(begin, end - begin) + "\n";
            begin = end + 2;
        }
        return lines;
    }

private:
    struct Piece {
        size_t end;
        double time;
    };
    std::wstring path_;
    Handle file_;
    std::string text_;
    std::vector<Piece> seen_;
};

}  // namespace

RunTimes TimeCommand(const std::wstring& commandLine, const std::wstring& logPath, const std::wstring& timelinePath) {
    FollowedLog log(logPath);
    if (!logPath.empty()) DeleteFileW(logPath.c_str());

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle nowhere(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nowhere.Get();
    startup.hStdOutput = nowhere.Get();
    startup.hStdError = nowhere.Get();
    PROCESS_INFORMATION info{};
    std::wstring command = commandLine;

    RunTimes times;
    const double start = Now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        throw Lab::Error(L"cannot start " + commandLine + L": error " + std::to_wstring(GetLastError()));
    Handle process(info.hProcess);
    Handle thread(info.hThread);
    // Without a log to follow, one wait; with one, a read every 2 ms.
    const DWORD slice = logPath.empty() ? INFINITE : 2;
    while (WaitForSingleObject(info.hProcess, slice) == WAIT_TIMEOUT) log.Poll(Now());
    times.total = Now() - start;
    if (!logPath.empty()) {
        log.Poll(Now());
        times.uninstallers =
            log.Spans("Running uninstaller for \"", "...waiting for the uninstaller to finish...", times.uninstallerRuns);
        times.serviceWaits = log.Spans("Stopping service \"", "", times.serviceStops);
        if (!timelinePath.empty()) Lab::WriteBytes(timelinePath, log.Timeline(start));
    }
    GetExitCodeProcess(info.hProcess, &times.exitCode);
    FILETIME created, ended, kernel, user;
    if (GetProcessTimes(info.hProcess, &created, &ended, &kernel, &user)) {
        const auto seconds = [](const FILETIME& time) {
            return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
        };
        times.cpu = seconds(kernel) + seconds(user);
    }
    return times;
}

}  // namespace Bench
