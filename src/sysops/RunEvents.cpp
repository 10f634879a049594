#include "sysops/RunEvents.h"

#include <utility>

namespace {

RunObserver* observer = nullptr;

// An observer that fails loses the event, never the removal step.
template <class Call>
void Tell(Call call) noexcept {
    if (observer == nullptr) return;
    try {
        call(*observer);
    } catch (...) {
    }
}

}  // namespace

ScopedRunObserver::ScopedRunObserver(RunObserver* newObserver) : previous_(std::exchange(observer, newObserver)) {}

ScopedRunObserver::~ScopedRunObserver() { observer = previous_; }

void TellUninstallerRan(const UninstallerRunEvent& run) noexcept {
    Tell([&](RunObserver& o) { o.UninstallerRan(run); });
}

void TellFolderRefused(const std::wstring& path, const std::wstring& reason) noexcept {
    Tell([&](RunObserver& o) { o.FolderRefused(path, reason); });
}

void TellLeftToRestart(const std::wstring& path) noexcept {
    Tell([&](RunObserver& o) { o.LeftToRestart(path); });
}

void TellProfileEntered(const std::wstring& profile, const std::wstring& folder) noexcept {
    Tell([&](RunObserver& o) { o.ProfileEntered(profile, folder); });
}

void TellProfileLeft() noexcept {
    Tell([](RunObserver& o) { o.ProfileLeft(); });
}
