#include "SetupManifest.h"

#include "LabFiles.h"
#include "LabText.h"
#include "MachinePaths.h"

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <algorithm>

namespace Lab {
namespace {

void Line(std::wstring& text, const wchar_t* name, const std::wstring& value) {
    text += std::wstring(name) + L"=" + value + L"\r\n";
}

// The program of a command line: its first token, quoted or not.
std::wstring ProgramOf(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        return commandLine.substr(1, commandLine.find(L'"', 1) - 1);
    }
    return commandLine.substr(0, commandLine.find(L' '));
}

// Waits for the process if it still runs the program (the id may have been
// given to another process since); ends it after half a minute.
void WaitForLabProcess(DWORD processId, const std::wstring& program) {
    WindowsPlatform::UniqueKernelHandle process(
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return;
    wchar_t image[MAX_PATH * 4];
    DWORD length = static_cast<DWORD>(std::size(image));
    if (!QueryFullProcessImageNameW(process.Get(), 0, image, &length) ||
        !EqualsNoCase(std::wstring(image, length), program)) {
        return;
    }
    if (WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) TerminateProcess(process.Get(), 1);
}

std::wstring Field(const std::wstring& line, size_t& start) {
    const size_t tab = line.find(L'\t', start);
    const std::wstring field = line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start);
    start = tab == std::wstring::npos ? line.size() : tab + 1;
    return field;
}

}  // namespace

std::wstring ManifestPathFor(const std::wstring& program) {
    const size_t dot = program.find_last_of(L'.');
    const size_t slash = program.find_last_of(L'\\');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    return (hasExtension ? program.substr(0, dot) : program) + L".lab";
}

void WriteManifest(const std::wstring& path, const SetupManifest& manifest) {
    std::wstring text;
    Line(text, L"role", manifest.role);
    Line(text, L"product", manifest.product);
    Line(text, L"form", manifest.form);
    Line(text, L"response-hex", HexBytes(manifest.response));
    Line(text, L"leave-traces", manifest.behaviour.leaveTraces ? L"1" : L"0");
    if (manifest.behaviour.exitCode) Line(text, L"exit-code", std::to_wstring(*manifest.behaviour.exitCode));
    Line(text, L"child-ms", std::to_wstring(manifest.behaviour.childMs));
    for (const auto& service : manifest.services) Line(text, L"service", service);
    for (const auto& folder : manifest.folders) Line(text, L"folder", folder);
    for (const auto& key : manifest.keys) Line(text, L"key", key.Text());
    for (const auto& key : manifest.lastKeys) Line(text, L"last-key", key.Text());
    WriteBytes(path, ToUtf8(text));
}

SetupManifest ReadManifest(const std::wstring& path) {
    const auto bytes = ReadBytes(path);
    if (!bytes) throw Error(L"no setup manifest at " + path);
    SetupManifest manifest;
    for (const auto& line : SplitLines(FromUtf8(*bytes))) {
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) continue;
        const std::wstring name = line.substr(0, equals);
        const std::wstring value = line.substr(equals + 1);
        if (name == L"role") manifest.role = value;
        else if (name == L"product") manifest.product = value;
        else if (name == L"form") manifest.form = value;
        else if (name == L"response-hex") manifest.response = BytesFromHex(value);
        else if (name == L"leave-traces") manifest.behaviour.leaveTraces = value == L"1";
        else if (name == L"exit-code") manifest.behaviour.exitCode = std::wcstoul(value.c_str(), nullptr, 10);
        else if (name == L"child-ms") manifest.behaviour.childMs = std::wcstoul(value.c_str(), nullptr, 10);
        else if (name == L"service") manifest.services.push_back(value);
        else if (name == L"folder") manifest.folders.push_back(value);
        else if (name == L"key") manifest.keys.push_back(RegKey::Parse(value));
        else if (name == L"last-key") manifest.lastKeys.push_back(RegKey::Parse(value));
    }
    return manifest;
}

std::wstring SetupRunsLogPath() { return LabStateFolder() + L"\\setup-runs.log"; }

void AppendSetupRun(const SetupRun& run) {
    const std::wstring line = run.role + L"\t" + run.product + L"\t" + std::to_wstring(run.processId) + L"\t" +
                              run.response + L"\t" + run.result + L"\t" +
                              std::to_wstring(run.exitCode) + L"\t" + run.commandLine + L"\r\n";
    AppendBytes(SetupRunsLogPath(), ToUtf8(line));
}

std::vector<SetupRun> SetupRuns() {
    std::vector<SetupRun> runs;
    const auto bytes = ReadBytes(SetupRunsLogPath());
    if (!bytes) return runs;
    for (const auto& line : SplitLines(FromUtf8(*bytes))) {
        if (line.empty()) continue;
        size_t start = 0;
        SetupRun run;
        run.role = Field(line, start);
        run.product = Field(line, start);
        run.processId = std::wcstoul(Field(line, start).c_str(), nullptr, 10);
        run.response = Field(line, start);
        run.result = Field(line, start);
        run.exitCode = std::wcstoul(Field(line, start).c_str(), nullptr, 10);
        run.commandLine = line.substr(start);
        runs.push_back(run);
    }
    return runs;
}

void WaitForSetupChildren() {
    const auto runs = SetupRuns();
    for (const auto& run : runs) {
        if (run.role != L"child" || run.result != L"started") continue;
        const bool ended = std::any_of(runs.begin(), runs.end(), [&](const SetupRun& r) {
            return r.role == L"child" && r.processId == run.processId && r.result != L"started";
        });
        if (!ended) WaitForLabProcess(run.processId, ProgramOf(run.commandLine));
    }
}

}  // namespace Lab
