#include "app/RunRecorder.h"

#include "platform/Text.h"
#include "sysops/FileVersion.h"
#include "sysops/RestartNeed.h"

#include <vector>

namespace {

std::wstring ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = static_cast<DWORD>(std::size(name));
    return GetComputerNameW(name, &length) ? std::wstring(name, length) : std::wstring();
}

// The file version of this program, "unknown" without one.
std::wstring ProgramVersion() {
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    try {
        if (length != 0 && length < path.size()) return GetFileVersionString(std::wstring(path.data(), length));
    } catch (...) {
    }
    return L"unknown";
}

size_t Slot(Component component) { return static_cast<size_t>(component); }

}  // namespace

RunRecorder::RunRecorder(const std::wstring& arguments, RunMode mode) {
    GetSystemTime(&report_.started);
    report_.programVersion = ProgramVersion();
    report_.computerName = ComputerName();
    report_.arguments = arguments;
    report_.mode = mode;
}

Troubles& RunRecorder::CurrentTroubles() {
    if (cleaningUp_) return report_.rootCleanup;
    if (current_) return report_.components[Slot(*current_)].troubles;
    return report_.outsideComponents;
}

void RunRecorder::StepFailed(const std::wstring& line) { CurrentTroubles().failedSteps.push_back(line); }

const RunReport& RunRecorder::Finish(int exitCode, const std::wstring& exitMeaning) {
    GetSystemTime(&report_.ended);
    report_.exitCode = exitCode;
    report_.exitMeaning = exitMeaning;
    report_.restartNeeded = RestartNeeded();
    // A detection or a plan looks once and changes nothing: what it found is
    // also the state after it.
    if (report_.mode != RunMode::Remove) {
        for (ComponentRecord& record : report_.components) record.after = record.before;
    }
    return report_;
}

void RunRecorder::Turning(Component component) {
    current_ = component;
    cleaningUp_ = false;
}

void RunRecorder::Detected(Component component, const ORVProduct& product, bool selected) {
    ComponentRecord& record = report_.components[Slot(component)];
    record.name = product.Name();
    record.selected = selected;
    const Finding finding{product.installed, product.Version()};
    if (detections_[Slot(component)]++ == 0) {
        record.before = finding;
    } else {
        record.after = finding;
    }
}

void RunRecorder::Selected(Component component) { report_.components[Slot(component)].selected = true; }

void RunRecorder::CleaningUp() {
    cleaningUp_ = true;
    report_.rootCleanupRan = true;
}

void RunRecorder::UninstallerRan(const UninstallerRunEvent& run) {
    if (current_ && !cleaningUp_) report_.components[Slot(*current_)].uninstallerRuns.push_back(run);
}

void RunRecorder::FolderRefused(const std::wstring& path, const std::wstring& reason) {
    CurrentTroubles().refusedFolders.push_back({path, reason});
}

void RunRecorder::LeftToRestart(const std::wstring& path) { CurrentTroubles().deletedAtRestart.push_back(path); }

void RunRecorder::LineWritten(const std::wstring& line) {
    if (profile_) report_.profiles[*profile_].lines.push_back(line);
}

void RunRecorder::ProfileEntered(const std::wstring& profile, const std::wstring& folder) {
    for (size_t i = 0; i < report_.profiles.size(); ++i) {
        if (report_.profiles[i].profile == profile) {
            profile_ = i;
            return;
        }
    }
    report_.profiles.push_back({profile, folder, {}});
    profile_ = report_.profiles.size() - 1;
}

void RunRecorder::ProfileLeft() { profile_.reset(); }

void RunRecorder::Planned(const PlannedAction& action) {
    PlanEntry entry;
    if (!cleaningUp_) entry.component = current_;
    entry.action = action;
    entry.action.root = nullptr;  // an open key lives only as long as the call
    report_.plan.push_back(std::move(entry));
}
