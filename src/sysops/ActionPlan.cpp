#include "sysops/ActionPlan.h"

#include <utility>

namespace {

bool planning = false;
PlanObserver* observer = nullptr;

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
    : previousPlanning_(std::exchange(planning, true)), previousObserver_(std::exchange(observer, newObserver)) {}

ScopedPlanMode::~ScopedPlanMode() {
    planning = previousPlanning_;
    observer = previousObserver_;
}

bool Planning() { return planning; }

bool ActOrDescribe(const PlannedAction& action, Remove::Log& log) {
    if (!planning) return true;
    log.Write(PlanLine(action));
    log.EndLine();
    if (observer != nullptr) observer->Planned(action);
    return false;
}
