#include "sysops/ActionPlan.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace {

bool planning = false;
PlanObserver* observer = nullptr;
// What the current plan has described: a real run would find it gone.
std::vector<PlannedAction>* described = nullptr;

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// True when path is parent or lies below it (letter case ignored).
bool WithinPath(const std::wstring& path, const std::wstring& parent) {
    if (path.size() < parent.size() || !SameText(path.substr(0, parent.size()), parent)) return false;
    return path.size() == parent.size() || path[parent.size()] == L'\\' || (!parent.empty() && parent.back() == L'\\');
}

// True when an earlier action of the plan takes this one's target with it.
bool Covers(const PlannedAction& earlier, const PlannedAction& action) {
    switch (action.kind) {
    case ActionKind::ServiceStop:
    case ActionKind::ServiceDeletion:
        return earlier.kind == ActionKind::ServiceDeletion && SameText(earlier.target, action.target);
    case ActionKind::Folder:
    case ActionKind::RefusedFolder:
        return earlier.kind == ActionKind::Folder && WithinPath(action.target, earlier.target);
    case ActionKind::RegistryKey:
        return earlier.kind == ActionKind::RegistryKey && WithinPath(action.target, earlier.target);
    case ActionKind::RegistryValue:
        return (earlier.kind == ActionKind::RegistryKey &&
                WithinPath(action.target.substr(0, action.target.rfind(L":[")), earlier.target)) ||
               (earlier.kind == ActionKind::RegistryValue && SameText(earlier.target, action.target));
    case ActionKind::Database:
    case ActionKind::DataSource:
        return earlier.kind == action.kind && SameText(earlier.target, action.target);
    case ActionKind::Uninstaller:
    case ActionKind::ResponseFile:
        break;
    }
    return false;
}

bool AlreadyDescribed(const PlannedAction& action) {
    if (described == nullptr) return false;
    for (const PlannedAction& earlier : *described)
        if (Covers(earlier, action)) return true;
    return false;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

std::wstring PlanLine(const PlannedAction& action) {
    switch (action.kind) {
    case ActionKind::Uninstaller:
        return L"Would run uninstaller for " + Quoted(action.detail) + L" with command " + action.target;
    case ActionKind::ResponseFile: return L"Would create install shield response file " + Quoted(action.target);
    case ActionKind::ServiceStop: return L"Would stop service " + Quoted(action.target);
    case ActionKind::ServiceDeletion: return L"Would stop and delete service " + Quoted(action.target);
    case ActionKind::Folder: return L"Would delete directory " + Quoted(action.target) + L" (" + action.detail + L")";
    case ActionKind::RefusedFolder:
        return L"Would not delete directory " + Quoted(action.target) + L": refused: " + action.detail;
    case ActionKind::RegistryKey: return L"Would delete registry key " + Quoted(action.target);
    case ActionKind::RegistryValue: return L"Would delete registry value " + Quoted(action.target);
    case ActionKind::Database: return L"Would drop database " + Quoted(action.target);
    case ActionKind::DataSource: return L"Would remove DSN " + Quoted(action.target);
    }
    return action.target;
}

bool RemovesSomething(const PlannedAction& action) { return action.kind != ActionKind::RefusedFolder; }

ScopedPlanMode::ScopedPlanMode(PlanObserver* newObserver)
    : previousPlanning_(std::exchange(planning, true)),
      previousObserver_(std::exchange(observer, newObserver)),
      previousDescribed_(std::exchange(described, &described_)) {}

ScopedPlanMode::~ScopedPlanMode() {
    planning = previousPlanning_;
    observer = previousObserver_;
    described = previousDescribed_;
}

bool Planning() { return planning; }

bool ActOrDescribe(const PlannedAction& action, Remove::Log& log) {
    if (!planning) return true;
    if (AlreadyDescribed(action)) return false;
    if (described != nullptr) described->emplace_back(action.kind, action.target, action.detail);
    log.Write(PlanLine(action));
    log.EndLine();
    if (observer != nullptr) observer->Planned(action);
    return false;
}
