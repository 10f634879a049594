#pragma once
// The one place that decides whether the operations that change the machine
// act or only describe what they would do. Every acting operation (running an
// uninstaller, stopping or deleting a service, deleting a folder, a registry
// key or value, dropping a database, removing a data source, writing a
// response file) asks ActOrDescribe just before it acts. Outside plan mode the
// answer is "act" and nothing is written. In plan mode the operation does not
// act: its plan line ("Would delete registry key \"HKLM\\SOFTWARE\\X\"") goes
// to the log and the action to the plan's observer. Since the removal code is
// the same in both modes, a plan cannot drift from what a real run does.
//
// Plan mode is process-wide, like the key tree deletion hook; the removal
// runs on one thread.

#include "log/Log.h"
#include "sysops/Registry.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

enum class ActionKind {
    Uninstaller,      // target: the command as it would be started; detail: the component
    ResponseFile,     // target: the file's path
    ServiceStop,      // target: the service name
    ServiceDeletion,  // target: the service name (stopped first); root, path, view: its registration key
    Folder,           // target: the folder; detail: "N files, B bytes"
    RefusedFolder,    // target: the folder; detail: why the guard refuses it (nothing is done)
    RegistryKey,      // target: the key as the log names it, "HKLM\\SOFTWARE\\X"
    RegistryValue,    // target: "HKLM\\SOFTWARE\\X:[name]"
    Database,         // target: the database name
    DataSource,       // target: the data source name
};

struct PlannedAction {
    PlannedAction() = default;
    explicit PlannedAction(ActionKind kind, std::wstring target = {}, std::wstring detail = {})
        : kind(kind), target(std::move(target)), detail(std::move(detail)) {}

    ActionKind kind = ActionKind::RegistryKey;
    std::wstring target;
    std::wstring detail;
    // Registry keys and values (and a deleted service's registration): where
    // they are. The root may be an open key that lives only as long as the
    // call that describes the action.
    HKEY root = nullptr;
    std::wstring path;
    std::wstring valueName;
    RegistryView view = RegistryView::Program;
};

// The line a plan writes for the action, without the line end.
std::wstring PlanLine(const PlannedAction& action);

// False for the guard's refusals, which remove nothing.
bool RemovesSomething(const PlannedAction& action);

// Sees every action of a plan as it is described.
class PlanObserver {
public:
    virtual ~PlanObserver() = default;
    virtual void Planned(const PlannedAction& action) = 0;
};

// Plan mode for the life of the object, with an optional observer; the mode
// and observer before are restored at its end.
class ScopedPlanMode {
public:
    explicit ScopedPlanMode(PlanObserver* observer = nullptr);
    ~ScopedPlanMode();
    ScopedPlanMode(const ScopedPlanMode&) = delete;
    ScopedPlanMode& operator=(const ScopedPlanMode&) = delete;

private:
    bool previousPlanning_;
    PlanObserver* previousObserver_;
    std::vector<PlannedAction> described_;
    std::vector<PlannedAction>* previousDescribed_;
};

// True in plan mode.
bool Planning();

// Called by an acting operation just before it acts. Outside plan mode:
// true, nothing written. In plan mode: writes the plan line as a line of its
// own, hands the action to the observer and returns false: the caller does
// not act and goes on as if it had succeeded. An action whose target an
// earlier action of the same plan takes with it (the same service, key or
// folder, or one below it) is not described again, since a real run would
// find it gone.
bool ActOrDescribe(const PlannedAction& action, Remove::Log& log);
