#include "Snapshot.h"

#include "LabServices.h"
#include "LabText.h"
#include "MachinePaths.h"
#include "SnapshotFiles.h"
#include "SnapshotRegistry.h"

#include <algorithm>
#include <cwctype>

namespace Lab {
namespace {

// Lines compare by their lower-case form, then as they are.
bool LineLess(const std::wstring& a, const std::wstring& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const wchar_t la = static_cast<wchar_t>(std::towlower(a[i]));
        const wchar_t lb = static_cast<wchar_t>(std::towlower(b[i]));
        if (la != lb) return la < lb;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// Sorts by the lower-case line, then by the line: the order of LineLess,
// with each line lowered once.
void SortLines(std::vector<std::wstring>& lines) {
    std::vector<std::pair<std::wstring, std::wstring>> keyed;
    keyed.reserve(lines.size());
    for (auto& line : lines) keyed.emplace_back(Lower(line), std::move(line));
    std::sort(keyed.begin(), keyed.end());
    lines.clear();
    for (auto& entry : keyed) lines.push_back(std::move(entry.second));
}

}  // namespace

std::wstring Snapshot::Text() const {
    std::wstring text;
    for (const auto& line : lines) text += line + L"\r\n";
    return text;
}

Snapshot TakeSnapshot() {
    Snapshot snapshot;
    auto& lines = snapshot.lines;
    // Of the classes, only Windows Installer's records are taken: the rest
    // is most of the registry and takes seconds to read under Wine.
    SnapshotRegistryTree(HKEY_LOCAL_MACHINE, L"SOFTWARE", L"HKLM\\SOFTWARE", {L"HKLM\\SOFTWARE\\Classes"},
                         lines);
    for (const wchar_t* classes :
         {L"SOFTWARE\\Classes\\Installer", L"SOFTWARE\\Classes\\Wow6432Node\\Installer"}) {
        SnapshotRegistryTree(HKEY_LOCAL_MACHINE, classes, L"HKLM\\" + std::wstring(classes), {}, lines);
    }
    for (const wchar_t* system : {L"SYSTEM\\ControlSet002", L"SYSTEM\\CurrentControlSet\\Services"}) {
        SnapshotRegistryTree(HKEY_LOCAL_MACHINE, system, L"HKLM\\" + std::wstring(system), {}, lines);
    }
    SnapshotRegistryTree(HKEY_USERS, L"", L"HKU", {}, lines);
    SnapshotFileTree(L"C:", {L"C:\\windows", LabStateFolder()}, {L"C:\\windows\\Installer", L"C:\\windows\\Temp"},
                     lines);
    for (const auto& service : AllServices()) {
        lines.push_back(L"svc " + service.name + L"  " + StateName(service.state));
    }
    SortLines(lines);
    return snapshot;
}

Snapshot ParseSnapshot(const std::wstring& text) {
    Snapshot snapshot;
    for (const auto& line : SplitLines(text)) {
        if (!line.empty()) snapshot.lines.push_back(line);
    }
    SortLines(snapshot.lines);
    return snapshot;
}

SnapshotDiff Diff(const Snapshot& before, const Snapshot& after) {
    SnapshotDiff diff;
    std::set_difference(before.lines.begin(), before.lines.end(), after.lines.begin(), after.lines.end(),
                        std::back_inserter(diff.went), LineLess);
    std::set_difference(after.lines.begin(), after.lines.end(), before.lines.begin(), before.lines.end(),
                        std::back_inserter(diff.came), LineLess);
    return diff;
}

}  // namespace Lab
