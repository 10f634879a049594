#include "app/ReportWriter.h"

#include "app/OutputPaths.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cwchar>
#include <vector>

using Json = nlohmann::ordered_json;

namespace {

// UTF-8 of a text that Windows gave us; a lone surrogate (a name Windows
// allows but Unicode does not) becomes U+FFFD rather than losing the text.
std::string U8(const std::wstring& text) {
    try {
        return TranscodeU16ToU8(text);
    } catch (...) {
    }
    std::wstring repaired = text;
    for (size_t i = 0; i < repaired.size(); ++i) {
        const wchar_t c = repaired[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < repaired.size() && repaired[i + 1] >= 0xDC00 && repaired[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            repaired[i] = 0xFFFD;
        }
    }
    return TranscodeU16ToU8(repaired);
}

Json Texts(const std::vector<std::wstring>& texts) {
    Json list = Json::array();
    for (const std::wstring& text : texts) list.push_back(U8(text));
    return list;
}

std::string IsoTime(const SYSTEMTIME& t) {
    char text[32];
    snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02uZ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    return text;
}

const char* ModeName(RunMode mode) {
    switch (mode) {
    case RunMode::Remove: return "remove";
    case RunMode::Detect: return "detect";
    case RunMode::WhatIf: return "whatif";
    }
    return "remove";
}

const char* KindName(ActionKind kind) {
    switch (kind) {
    case ActionKind::Uninstaller: return "uninstaller";
    case ActionKind::ResponseFile: return "responseFile";
    case ActionKind::ServiceStop: return "serviceStop";
    case ActionKind::ServiceDeletion: return "serviceDeletion";
    case ActionKind::Folder: return "folder";
    case ActionKind::RefusedFolder: return "refusedFolder";
    case ActionKind::RegistryKey: return "registryKey";
    case ActionKind::RegistryValue: return "registryValue";
    case ActionKind::Database: return "database";
    case ActionKind::DataSource: return "dataSource";
    }
    return "unknown";
}

Json FindingJson(const std::optional<Finding>& finding) {
    if (!finding) return nullptr;
    Json json;
    json["installed"] = finding->installed;
    json["version"] = finding->version ? Json(U8(*finding->version)) : Json(nullptr);
    return json;
}

Json RunJson(const UninstallerRunEvent& run) {
    Json json;
    json["command"] = U8(run.command);
    json["started"] = run.started;
    json["exitCode"] = run.exitCode ? Json(*run.exitCode) : Json(nullptr);
    json["seconds"] = std::round(run.seconds * 1000.0) / 1000.0;
    json["timedOut"] = run.timedOut;
    return json;
}

void AddTroubles(Json& json, const Troubles& troubles) {
    json["failedSteps"] = Texts(troubles.failedSteps);
    Json refused = Json::array();
    for (const RefusedFolder& folder : troubles.refusedFolders)
        refused.push_back({{"path", U8(folder.path)}, {"reason", U8(folder.reason)}});
    json["refusedFolders"] = std::move(refused);
    json["deletedAtRestart"] = Texts(troubles.deletedAtRestart);
}

Json ComponentJson(Component component, const ComponentRecord& record) {
    Json json;
    json["switch"] = U8(SilentSwitch(component));
    json["name"] = record.name.empty() ? Json(nullptr) : Json(U8(record.name));
    json["selected"] = record.selected;
    json["before"] = FindingJson(record.before);
    json["after"] = FindingJson(record.after);
    Json runs = Json::array();
    for (const UninstallerRunEvent& run : record.uninstallerRuns) runs.push_back(RunJson(run));
    json["uninstallerRuns"] = std::move(runs);
    AddTroubles(json, record.troubles);
    return json;
}

Json PlanJson(const std::vector<PlanEntry>& plan) {
    Json list = Json::array();
    for (const PlanEntry& entry : plan) {
        Json json;
        json["component"] = entry.component ? Json(U8(SilentSwitch(*entry.component))) : Json(nullptr);
        json["kind"] = KindName(entry.action.kind);
        json["target"] = U8(entry.action.target);
        json["detail"] = U8(entry.action.detail);
        list.push_back(std::move(json));
    }
    return list;
}

Json ProfilesJson(const std::vector<ProfileRecord>& profiles) {
    Json list = Json::array();
    for (const ProfileRecord& record : profiles)
        list.push_back({{"profile", U8(record.profile)}, {"folder", U8(record.folder)}, {"lines", Texts(record.lines)}});
    return list;
}

}  // namespace

std::string ReportJson(const RunReport& report) {
    Json json;
    json["format"] = 1;
    json["program"] = "ORVRemove";
    json["programVersion"] = U8(report.programVersion);
    json["computer"] = U8(report.computerName);
    json["started"] = IsoTime(report.started);
    json["ended"] = IsoTime(report.ended);
    json["arguments"] = U8(report.arguments);
    json["mode"] = ModeName(report.mode);
    json["exitCode"] = report.exitCode;
    json["exitMeaning"] = U8(report.exitMeaning);
    json["restartNeeded"] = report.restartNeeded;
    Json components = Json::array();
    for (Component component : kSilentDetectionOrder)
        components.push_back(ComponentJson(component, report.components[static_cast<size_t>(component)]));
    json["components"] = std::move(components);
    Json cleanup;
    cleanup["ran"] = report.rootCleanupRan;
    AddTroubles(cleanup, report.rootCleanup);
    json["rootCleanup"] = std::move(cleanup);
    Json outside;
    AddTroubles(outside, report.outsideComponents);
    json["outsideComponents"] = std::move(outside);
    json["plan"] = PlanJson(report.plan);
    json["profiles"] = ProfilesJson(report.profiles);
    return json.dump(2) + "\n";
}

void WriteFileWhole(const std::wstring& path, const std::string& bytes) {
    const std::wstring full = PrepareFilePath(path);
    const size_t slash = full.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring(L".") : full.substr(0, slash + 1);
    std::vector<wchar_t> temporary(MAX_PATH + folder.size() + 16);
    if (GetTempFileNameW(folder.c_str(), L"orv", 0, temporary.data()) == 0) ThrowLastError();
    const std::wstring temporaryPath = temporary.data();
    try {
        {
            WindowsPlatform::UniqueFileHandle file(CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) ThrowLastError();
            DWORD written = 0;
            if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
                ThrowLastError();
            if (written != bytes.size()) throw Windows::Error(ERROR_WRITE_FAULT);
            ThrowLastErrorIfFalse(FlushFileBuffers(file.Get()));
        }
        ThrowLastErrorIfFalse(
            MoveFileExW(temporaryPath.c_str(), full.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    } catch (...) {
        DeleteFileW(temporaryPath.c_str());
        throw;
    }
}
