#pragma once
// Gathers the run report while an unattended run goes on: it is the
// observer of the driver's progress, of the removal's events and of a
// plan, and takes the failed step lines of the run's log. Each event
// belongs to the component the driver last turned to, to the root cleanup
// once it has begun, or to the run outside the components.

#include "app/RemovalProgress.h"
#include "app/RunReport.h"
#include "sysops/ActionPlan.h"
#include "sysops/RunEvents.h"

#include <array>
#include <optional>

class RunRecorder : public RemovalProgressObserver, public RunObserver, public PlanObserver {
public:
    RunRecorder(const std::wstring& arguments, RunMode mode);

    // A failed step line of the log.
    void StepFailed(const std::wstring& line);
    // Every line of the log; kept when it belongs to another user's profile.
    void LineWritten(const std::wstring& line);
    // The report with the end time, exit code and restart need filled in.
    const RunReport& Finish(int exitCode, const std::wstring& exitMeaning);

    void Turning(Component component) override;
    void Detected(Component component, const ORVProduct& product, bool selected) override;
    void Selected(Component component) override;
    void CleaningUp() override;

    void UninstallerRan(const UninstallerRunEvent& run) override;
    void FolderRefused(const std::wstring& path, const std::wstring& reason) override;
    void LeftToRestart(const std::wstring& path) override;
    void ProfileEntered(const std::wstring& profile, const std::wstring& folder) override;
    void ProfileLeft() override;

    void Planned(const PlannedAction& action) override;

private:
    Troubles& CurrentTroubles();

    RunReport report_;
    std::optional<Component> current_;
    bool cleaningUp_ = false;
    std::optional<size_t> profile_;  // index into report_.profiles while its steps run
    std::array<unsigned, kComponentCount> detections_{};
};
