#include "UninstallRun.h"

#include "Finisher.h"
#include "LabFiles.h"
#include "LabProcess.h"
#include "LabServices.h"

#include <windows.h>

namespace LabSetup {
namespace {

struct Outcome {
    std::wstring response = L"none";
    std::wstring result;
    bool failed = false;
};

// The forms that hand the setup a response file, and the options before it.
const wchar_t* ResponseLead(const std::wstring& form) {
    if (form == L"f1") return L" -s --uninstallsilent -f1\"";
    if (form == L"guid") return L" -s -f1\"";
    return nullptr;
}

bool TakesResponseFile(const std::wstring& form) { return ResponseLead(form) != nullptr; }

// Whether the tail has the form the manifest expects; for the forms with a
// response file it also gives the file's path.
bool ParseTail(const std::wstring& form, const std::wstring& tail, std::wstring& responseFile) {
    if (form == L"silent") return tail == L" /s /z\"uninstall\"";
    if (form == L"remove") return tail == L" -remove";
    if (form == L"u") return tail == L" -u";
    if (!TakesResponseFile(form)) return false;
    const std::wstring lead = ResponseLead(form);
    if (tail.rfind(lead, 0) != 0 || tail.size() < lead.size() + 2 || tail.back() != L'"') return false;
    responseFile = tail.substr(lead.size(), tail.size() - lead.size() - 1);
    return responseFile.find(L'"') == std::wstring::npos;
}

std::wstring CheckResponse(const std::wstring& path, const std::string& expected) {
    const auto bytes = Lab::ReadBytes(path);
    if (!bytes) return L"missing";
    return *bytes == expected ? L"matched" : L"mismatch";
}

// Every step is tried, whatever the steps before it did.
template <class Step>
void Try(bool& allDone, Step step) {
    try {
        step();
    } catch (const std::exception& e) {
        fprintf(stderr, "labsetup: %s\n", e.what());
        allDone = false;
    }
}

bool RemoveProduct(const Lab::SetupManifest& manifest) {
    bool allDone = true;
    for (const auto& service : manifest.services) Try(allDone, [&] { Lab::StopAndDeleteService(service, false); });
    for (const auto& key : manifest.keys) Try(allDone, [&] { Lab::DeleteTree(key); });
    for (const auto& folder : manifest.folders) Try(allDone, [&] { Lab::DeleteFolderTree(folder); });
    return allDone;
}

Outcome Uninstall(const Lab::SetupManifest& manifest, const std::wstring& manifestPath, const std::wstring& tail) {
    Outcome outcome;
    std::wstring responseFile;
    if (!ParseTail(manifest.form, tail, responseFile)) return {L"none", L"bad-command-line", true};
    if (TakesResponseFile(manifest.form)) {
        outcome.response = CheckResponse(responseFile, manifest.response);
        if (outcome.response != L"matched") return {outcome.response, L"left-traces", true};
    }
    if (manifest.behaviour.leaveTraces) return {outcome.response, L"left-traces", true};
    outcome.result = RemoveProduct(manifest) ? L"removed" : L"removed-partly";
    if (manifest.behaviour.childMs == 0) RemoveLastPart(manifest);
    if (manifest.behaviour.childMs > 0 || manifest.role == L"setup") StartFinisher(manifest, manifestPath);
    return outcome;
}

}  // namespace

std::wstring CommandTail(const std::wstring& commandLine) {
    size_t end = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        end = commandLine.find(L'"', 1);
        end = end == std::wstring::npos ? commandLine.size() : end + 1;
    } else {
        end = commandLine.find(L' ');
        if (end == std::wstring::npos) end = commandLine.size();
    }
    std::wstring tail = commandLine.substr(end);
    // A program started without arguments may still get trailing blanks.
    if (tail.find_first_not_of(L' ') == std::wstring::npos) tail.clear();
    return tail;
}

DWORD RunUninstall(const Lab::SetupManifest& manifest, const std::wstring& manifestPath,
                   const std::wstring& commandLine) {
    const Outcome outcome = Uninstall(manifest, manifestPath, CommandTail(commandLine));
    const DWORD exitCode = manifest.behaviour.exitCode.value_or(outcome.failed ? 1 : 0);
    Lab::AppendSetupRun({manifest.role, manifest.product, GetCurrentProcessId(), outcome.response, outcome.result,
                         exitCode, commandLine});
    return exitCode;
}

}  // namespace LabSetup
