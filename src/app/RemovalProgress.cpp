#include "app/RemovalProgress.h"

#include <utility>

namespace {

RemovalProgressObserver* observer = nullptr;

}  // namespace

ScopedRemovalProgress::ScopedRemovalProgress(RemovalProgressObserver* newObserver)
    : previous_(std::exchange(observer, newObserver)) {}

ScopedRemovalProgress::~ScopedRemovalProgress() { observer = previous_; }

void ProgressTurning(Component component) {
    if (observer != nullptr) observer->Turning(component);
}

void ProgressDetected(Component component, const ORVProduct* product, bool selected) {
    if (observer != nullptr && product != nullptr) observer->Detected(component, *product, selected);
}

void ProgressSelected(Component component) {
    if (observer != nullptr) observer->Selected(component);
}

void ProgressCleaningUp() {
    if (observer != nullptr) observer->CleaningUp();
}
