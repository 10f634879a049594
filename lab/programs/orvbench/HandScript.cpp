#include "HandScript.h"

#include "LabFiles.h"
#include "LabText.h"
#include "SetupManifest.h"
#include "Snapshot.h"
#include "sysops/UninstallCommands.h"

#include <algorithm>
#include <set>

namespace Bench {
namespace {

struct Line {
    std::wstring kind;   // "reg", "file", "svc"
    std::wstring path;   // key, file or folder (ending in a backslash), service name
    std::wstring value;  // reg: the value name in brackets, when the line is a value
    bool isValue = false;
    bool isLink = false;
};

Line ParseLine(const std::wstring& text) {
    Line line;
    const size_t space = text.find(L' ');
    line.kind = text.substr(0, space);
    const size_t end = text.find(L"  ", space + 1);
    line.path = text.substr(space + 1, end == std::wstring::npos ? std::wstring::npos : end - space - 1);
    if (end == std::wstring::npos) return line;
    const std::wstring rest = text.substr(end + 2);
    if (line.kind == L"reg" && rest.compare(0, 1, L"[") == 0) {
        line.isValue = true;
        line.value = rest.substr(1, rest.find(L"] ") - 1);
    }
    line.isLink = rest.compare(0, 2, L"->") == 0;
    return line;
}

// Whether one of the paths (lower case) is a proper ancestor of path.
bool UnderAny(const std::wstring& path, const std::set<std::wstring>& paths) {
    const std::wstring lower = Lab::Lower(path);
    for (size_t cut = lower.rfind(L'\\', lower.size() - 2); cut != std::wstring::npos && cut > 0;
         cut = lower.rfind(L'\\', cut - 1)) {
        if (paths.count(lower.substr(0, cut)) != 0 || paths.count(lower.substr(0, cut + 1)) != 0) return true;
    }
    return false;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// The program an uninstall string starts: its first quoted or blank-ended token.
std::wstring ProgramOf(const std::wstring& command) {
    if (!command.empty() && command[0] == L'"') return command.substr(1, command.find(L'"', 1) - 1);
    return command.substr(0, command.find(L' '));
}

// The command the component's own uninstaller is run with; empty when it
// has none the script could run.
std::wstring UninstallerCommand(const Lab::Planted& planted, const std::wstring& folder) {
    if (planted.uninstallString.empty()) return {};
    if (IsMsiExecCommand(planted.uninstallString)) return L"msiexec /x " + planted.productCode + L" /qn";
    const std::wstring setup = ProgramOf(planted.uninstallString);
    const Lab::SetupManifest manifest = Lab::ReadManifest(Lab::ManifestPathFor(setup));
    const std::wstring response = folder + L"\\" + planted.component + L".iss";
    if (manifest.form == L"f1" || manifest.form == L"guid") Lab::WriteBytes(response, manifest.response);
    if (manifest.form == L"f1") return InstallShieldResponseCommand(planted.uninstallString, response);
    if (manifest.form == L"guid") return PlatformApiResponseCommand(planted.uninstallString, response);
    return InstallShieldUninstallCommand(planted.uninstallString);
}

// Keys and files that Windows itself keeps for the packages (its installer
// cache, component and upgrade-code bookkeeping, App Paths) and the keys
// of the services in the current control set: msiexec and sc delete take
// care of them, and neither the remover nor an administrator deletes them by
// hand. Uninstall entries, the system account's product records and the
// services' copies in ControlSet002 are deleted by hand.
bool LeftToWindows(const Line& line) {
    if (line.kind == L"file") return Lab::StartsWithNoCase(line.path, L"C:\\windows\\");
    const std::wstring& path = line.path;
    const std::wstring windows = L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    return Lab::StartsWithNoCase(path, L"HKLM\\SYSTEM\\CurrentControlSet\\") ||
           (Lab::StartsWithNoCase(path, windows) && !Lab::StartsWithNoCase(path, windows + L"Uninstall\\") &&
            !Lab::StartsWithNoCase(path, windows + L"Installer\\UserData\\S-1-5-18\\Products\\"));
}

void AddServiceCommands(const std::vector<Line>& lines, std::vector<std::wstring>& commands) {
    for (const Line& line : lines)
        if (line.kind == L"svc") commands.push_back(L"sc stop " + Quoted(line.path) + L" >nul 2>&1");
    for (const Line& line : lines)
        if (line.kind == L"svc") commands.push_back(L"sc delete " + Quoted(line.path) + L" >nul 2>&1");
}

// Folders whose paths are longer than MAX_PATH defeat rd /s (on Windows as
// under Wine); an administrator moves the deep part up first. kCut: the
// longest path of a folder that is moved whole.
constexpr size_t kLongestPath = 240;
constexpr size_t kCut = 150;

void AddFileCommands(const std::vector<Line>& lines, const std::wstring& folder, std::vector<std::wstring>& commands) {
    std::set<std::wstring> folders, moved;
    for (const Line& line : lines)
        if (line.kind == L"file" && line.path.back() == L'\\') folders.insert(Lab::Lower(line.path));
    for (const Line& line : lines) {
        if (line.kind != L"file" || line.path.size() <= kLongestPath || UnderAny(line.path, moved)) continue;
        const std::wstring deep = line.path.substr(0, line.path.rfind(L'\\', kCut));
        if (folders.count(Lab::Lower(deep) + L"\\") == 0) continue;  // only folders that planting added
        const std::wstring target = folder + L"\\deep" + std::to_wstring(moved.size());
        moved.insert(Lab::Lower(deep) + L"\\");
        commands.push_back(L"if exist " + Quoted(deep) + L" move " + Quoted(deep) + L" " + Quoted(target) + L" >nul");
        commands.push_back(L"if exist " + Quoted(target) + L" rd /s /q " + Quoted(target));
    }
    for (const Line& line : lines) {
        if (line.kind != L"file" || LeftToWindows(line) || UnderAny(line.path, folders)) continue;
        if (line.path.back() == L'\\') {
            const std::wstring path = Quoted(line.path.substr(0, line.path.size() - 1));
            commands.push_back(L"if exist " + path + L" rd /s /q " + path);
        } else {
            commands.push_back(L"if exist " + Quoted(line.path) + L" del /f /q " + Quoted(line.path));
        }
    }
}

void AddRegistryCommands(const std::vector<Line>& lines, std::vector<std::wstring>& commands) {
    std::set<std::wstring> keys;
    for (const Line& line : lines)
        if (line.kind == L"reg" && !line.isValue) keys.insert(Lab::Lower(line.path));
    for (const Line& line : lines) {
        if (line.kind != L"reg" || line.isLink || LeftToWindows(line) || UnderAny(line.path, keys)) continue;
        if (!line.isValue) commands.push_back(L"reg delete " + Quoted(line.path) + L" /f >nul 2>&1");
        else if (keys.count(Lab::Lower(line.path)) == 0)
            commands.push_back(L"reg delete " + Quoted(line.path) + L" /v " + Quoted(line.value) + L" /f >nul 2>&1");
    }
}

}  // namespace

std::vector<std::wstring> HandRemovalCommands(const std::vector<Lab::Planted>& planted,
                                              const std::vector<std::wstring>& addedLines,
                                              const std::wstring& folder) {
    // cmd's own folder is an empty one: Wine's rd /s, given a folder whose
    // path is longer than MAX_PATH, deletes files in the current folder.
    std::vector<std::wstring> commands{L"@echo off", L"cd /d " + Quoted(folder + L"\\empty")};
    // Run directly, not through "start", which drops the quotes inside an
    // argument such as -f1"<response file>"; cmd waits for each program.
    for (const Lab::Planted& component : planted) {
        const std::wstring command = UninstallerCommand(component, folder);
        if (!command.empty()) commands.push_back(command);
    }
    std::vector<Line> lines;
    for (const std::wstring& text : addedLines) lines.push_back(ParseLine(text));
    AddServiceCommands(lines, commands);
    AddFileCommands(lines, folder, commands);
    AddRegistryCommands(lines, commands);
    return commands;
}

std::vector<Lab::Planted> PlantSuite(const std::wstring& folder) {
    Lab::Reset();
    Lab::PlantBystanders();
    const Lab::Snapshot before = Lab::TakeSnapshot();
    std::vector<Lab::Planted> planted;
    for (const std::wstring& component : Lab::ComponentNames()) {
        Lab::PlantOptions options;
        options.uninstallByX = true;
        // A console from before the deploy tool was embedded in it, so that
        // the deploy tool is a component of its own.
        if (component == L"console") options.version = L"9.5.4.2";
        planted.push_back(Lab::Plant(component, options));
    }
    const Lab::SnapshotDiff diff = Lab::Diff(before, Lab::TakeSnapshot());

    std::wstring added, script;
    for (const std::wstring& line : diff.came) added += line + L"\r\n";
    Lab::WriteBytes(folder + L"\\planted.txt", Lab::ToUtf8(added));
    for (const std::wstring& command : HandRemovalCommands(planted, diff.came, folder)) script += command + L"\r\n";
    Lab::WriteBytes(folder + L"\\hand.cmd", Lab::ToUtf8(script));
    Lab::DeleteFolderTree(folder + L"\\empty");
    Lab::MakeFolders(folder + L"\\empty");
    return planted;
}

size_t CountLeft(const std::wstring& folder) {
    const auto bytes = Lab::ReadBytes(folder + L"\\planted.txt");
    if (!bytes) throw Lab::Error(L"no planted.txt in " + folder);
    const Lab::Snapshot now = Lab::TakeSnapshot();
    std::vector<std::wstring> still;
    for (const std::wstring& line : Lab::SplitLines(Lab::FromUtf8(*bytes)))
        if (!line.empty() && std::binary_search(now.lines.begin(), now.lines.end(), line)) still.push_back(line);
    std::wstring text;
    for (const std::wstring& line : still) text += line + L"\r\n";
    Lab::WriteBytes(folder + L"\\left.txt", Lab::ToUtf8(text));
    return still.size();
}

}  // namespace Bench
