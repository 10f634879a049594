#pragma once
// The registry backup of a removal, written ahead: before a component's
// removal starts (and with it its uninstaller, which deletes keys this
// program never sees), the removal is made once in plan mode, silently, and
// every registry key and value of the plan is written to the backup, with the
// registration key of every service it deletes. So the backup holds what the
// uninstaller takes too, as it was before the run.

#include "log/ForwardingLog.h"
#include "products/ORVProduct.h"
#include "sysops/RegistryBackup.h"

#include <functional>

class BackupPlan {
public:
    // log: the log the components write to; it is muted while they plan.
    // rootCleanup: planned with the first component, since the uninstallers
    // may take values of the suite's root keys long before it runs.
    BackupPlan(RegistryBackup& backup, Remove::ForwardingLog& log, std::function<void(Remove::Log&)> rootCleanup)
        : backup_(backup), log_(log), rootCleanup_(std::move(rootCleanup)) {}

    // Writes the registry part of the component's plan to the backup and
    // "Backing up the registry keys and values that the removal of \"X\" may
    // delete...done". False when any of it could not be written: the
    // failure's lines and "...the component is not removed" are in the log.
    bool BeforeRemoval(ORVProduct& product);

private:
    RegistryBackup& backup_;
    Remove::ForwardingLog& log_;
    std::function<void(Remove::Log&)> rootCleanup_;
    bool rootPlanned_ = false;
};
