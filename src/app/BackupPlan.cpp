#include "app/BackupPlan.h"

#include "sysops/ActionPlan.h"

namespace {

// Writes every key and value of a plan to the backup as the plan names it,
// while the key it lies in is still open, and the registration key of every
// service the plan deletes.
class BackupWriter : public PlanObserver {
public:
    BackupWriter(RegistryBackup& backup, Remove::Log& log) : backup_(backup), log_(log) {}

    void Planned(const PlannedAction& action) override {
        if (action.kind == ActionKind::RegistryKey || action.kind == ActionKind::ServiceDeletion) {
            if (!backup_.BackUpKey(action.root, action.path, action.view, log_)) failed = true;
        } else if (action.kind == ActionKind::RegistryValue) {
            if (!backup_.BackUpValue(action.root, action.path, action.valueName, action.view, log_)) failed = true;
        }
    }

    bool failed = false;

private:
    RegistryBackup& backup_;
    Remove::Log& log_;
};

// Mutes the log for the life of the object.
class Muted {
public:
    explicit Muted(Remove::ForwardingLog& log) : log_(log), before_(log.muted) { log.muted = true; }
    ~Muted() { log_.muted = before_; }
    Muted(const Muted&) = delete;
    Muted& operator=(const Muted&) = delete;

private:
    Remove::ForwardingLog& log_;
    bool before_;
};

}  // namespace

bool BackupPlan::BeforeRemoval(ORVProduct& product) {
    Remove::Log& log = log_.Target();
    log.Write(L"Backing up the registry keys and values that the removal of \"" + product.Name() +
              L"\" may delete...");
    BackupWriter writer(backup_, log);
    {
        const Muted muted(log_);
        const ScopedPlanMode plan(&writer);
        if (!rootPlanned_ && rootCleanup_) rootCleanup_(log_);
        rootPlanned_ = true;
        product.Remove();
    }
    if (writer.failed) {
        log.Write(L"...the component is not removed");
        log.EndLine();
        return false;
    }
    log.Write(L"done");
    log.EndLine();
    return true;
}
