#pragma once
// Where a silent run stands, told by the driver to one process-wide
// observer (the run report): which component it turns to next, and each
// component as a detection found it. Without an observer the calls do
// nothing. The silent driver runs on one thread.

#include "app/Catalogue.h"

class RemovalProgressObserver {
public:
    virtual ~RemovalProgressObserver() = default;
    // The driver turns to the component: what follows belongs to it.
    virtual void Turning(Component component) = 0;
    // A detection of the component has ended; selected: the run removes it
    // when it is installed.
    virtual void Detected(Component component, const ORVProduct& product, bool selected) = 0;
    // The selection grew by the removals a selected component implies.
    virtual void Selected(Component component) = 0;
    // The root cleanup begins: what follows belongs to it.
    virtual void CleaningUp() = 0;
};

class ScopedRemovalProgress {
public:
    explicit ScopedRemovalProgress(RemovalProgressObserver* observer);
    ~ScopedRemovalProgress();
    ScopedRemovalProgress(const ScopedRemovalProgress&) = delete;
    ScopedRemovalProgress& operator=(const ScopedRemovalProgress&) = delete;

private:
    RemovalProgressObserver* previous_;
};

void ProgressTurning(Component component);
// Nothing for an empty catalogue slot.
void ProgressDetected(Component component, const ORVProduct* product, bool selected);
void ProgressSelected(Component component);
void ProgressCleaningUp();
