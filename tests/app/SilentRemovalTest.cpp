// The silent driver over stand-in components: what is detected, refused,
// removed and cleaned up, and in which order.

#include "app/SilentRemoval.h"
#include "sysops/ActionPlan.h"
#include "support/RecordingLog.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

namespace {

using C = Component;

// A component whose machine state is one flag: Detect reports it, Remove
// clears it unless the component is stubborn.
class FakeProduct : public ORVProduct {
public:
    FakeProduct(Remove::Log& log, std::wstring name, std::vector<std::wstring>& events)
        : ORVProduct(log), name_(std::move(name)), events_(events) {}

    std::wstring Name() const override { return name_; }
    std::optional<std::wstring> Version() const override { return std::nullopt; }
    void Detect() override {
        events_.push_back(L"detect " + name_);
        installed = present;
    }
    bool Remove() override {
        if (Planning()) {
            events_.push_back(L"plan " + name_);
            return true;
        }
        events_.push_back(L"remove " + name_);
        if (!stubborn) present = false;
        return !stubborn;
    }

    bool present = false;
    bool stubborn = false;

private:
    std::wstring name_;
    std::vector<std::wstring>& events_;
};

const std::map<C, std::wstring> kNames = {
    {C::Agent, L"agent"}, {C::Server, L"server"}, {C::Relay, L"relay"}, {C::Console, L"console"},
    {C::ClientDeployTool, L"cdt"}, {C::InstallationGenerator, L"generator"}, {C::PlatformAPI, L"api"},
    {C::LoggingService, L"logging"}, {C::DLP, L"dlp"}, {C::SoftwareAssetManagement, L"sam"},
    {C::MSDE, L"msde"}, {C::A2A, L"a2a"}, {C::Databases, L"databases"},
};

class SilentRemovalTest : public ::testing::Test {
protected:
    SilentRemovalTest() {
        for (const auto& [component, name] : kNames) {
            auto product = std::make_unique<FakeProduct>(log, name, events);
            fakes[component] = product.get();
            catalogue.Set(component, std::move(product));
        }
    }

    void Install(std::initializer_list<C> components) {
        for (C c : components) fakes[c]->present = true;
    }

    void Run(const wchar_t* arguments) {
        RunSilentRemoval(arguments, catalogue, log, [this](Remove::Log&) { events.push_back(L"root cleanup"); });
        events.insert(events.end(), boxes.boxes.size(), L"box");
    }

    std::vector<std::wstring> Removed() const {
        std::vector<std::wstring> removed;
        for (const auto& e : events)
            if (e.rfind(L"remove ", 0) == 0) removed.push_back(e.substr(7));
        return removed;
    }
    size_t Count(const std::wstring& event) const { return std::count(events.begin(), events.end(), event); }

    Remove::Log log;
    Catalogue catalogue;
    std::map<C, FakeProduct*> fakes;
    std::vector<std::wstring> events;
    MessageBoxRecorder boxes;
};

std::vector<std::wstring> Detections(const ComponentOrder& order) {
    std::vector<std::wstring> detections;
    for (C c : order) detections.push_back(L"detect " + kNames.at(c));
    return detections;
}

TEST_F(SilentRemovalTest, SilentAloneDetectsAllRemovesNothingCleansUpThenShowsUsage) {
    Run(L"/silent");
    std::vector<std::wstring> expected = Detections(kSilentDetectionOrder);
    const auto again = Detections(kSilentRemovalOrder);
    expected.insert(expected.end(), again.begin(), again.end());
    expected.push_back(L"root cleanup");
    expected.push_back(L"box");
    EXPECT_EQ(events, expected);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, kSilentUsageText);
}

TEST_F(SilentRemovalTest, AgentWithAnInstalledDependentIsRefused) {
    Install({C::Agent, C::Relay, C::A2A});
    Run(L"/silent /client /a2a");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              L"The client should not be removed without also removing the components that depend on it. To also "
              L"remove the dependent components, use the option '/client' with the options:  '/relay' '/a2a'. To "
              L"forcefully remove only the client, add the option '/force'.");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_TRUE(Removed().empty());
    auto expected = Detections(kSilentDetectionOrder);
    expected.push_back(L"box");  // the refusal only: no walk, no cleanup, no usage
    EXPECT_EQ(events, expected);
}

TEST_F(SilentRemovalTest, RefusalListsEveryInstalledDependentSelectedOrNot) {
    Install({C::Agent, C::Relay, C::Server});
    Run(L"/silent /client /relay");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find(L"options:  '/relay' '/server'. To"), std::wstring::npos);
    EXPECT_TRUE(Removed().empty());
}

TEST_F(SilentRemovalTest, AgentWithItsSelectedDependentsIsRemovedWithImpliedComponents) {
    Install({C::Agent, C::Relay, C::ClientDeployTool, C::LoggingService, C::DLP});
    Run(L"/silent /client /relay /cdt");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Removed(), (std::vector<std::wstring>{L"cdt", L"relay", L"dlp", L"logging", L"agent"}));
    EXPECT_EQ(Count(L"root cleanup"), 1u);
}

TEST_F(SilentRemovalTest, ForceRemovesAgentLoggingServiceAndDlpAndLeavesDependents) {
    Install({C::Agent, C::Relay, C::Server, C::DLP});
    Run(L"/silent /client /force");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Removed(), (std::vector<std::wstring>{L"dlp", L"agent"}));
    EXPECT_EQ(Count(L"root cleanup"), 0u);
    EXPECT_TRUE(fakes[C::Relay]->present);
    EXPECT_TRUE(fakes[C::Server]->present);
}

TEST_F(SilentRemovalTest, AllRemovesEveryInstalledComponentInRemovalOrder) {
    for (const auto& entry : kNames) fakes[entry.first]->present = true;
    Run(L"/silent /all");
    std::vector<std::wstring> expected;
    for (C c : kSilentRemovalOrder) expected.push_back(kNames.at(c));
    EXPECT_EQ(Removed(), expected);
    EXPECT_EQ(Count(L"root cleanup"), 1u);
    EXPECT_TRUE(boxes.boxes.empty());
    // Each component is detected once before and once after.
    EXPECT_EQ(Count(L"detect agent"), 2u);
}

TEST_F(SilentRemovalTest, OnlyDlpSelectedImpliesNothing) {
    Install({C::DLP, C::LoggingService});
    Run(L"/silent /dlp");
    EXPECT_EQ(Removed(), std::vector<std::wstring>{L"dlp"});
    EXPECT_EQ(Count(L"root cleanup"), 0u);  // the logging service is left
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(SilentRemovalTest, SelectedComponentThatIsNotInstalledIsNotRemoved) {
    Run(L"/silent /dlp");
    EXPECT_TRUE(Removed().empty());
    EXPECT_EQ(Count(L"root cleanup"), 1u);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(SilentRemovalTest, AnyComponentLeftInstalledPreventsTheRootCleanup) {
    Install({C::Server});
    fakes[C::Server]->stubborn = true;
    Run(L"/silent /server");
    EXPECT_EQ(Removed(), std::vector<std::wstring>{L"server"});
    EXPECT_EQ(Count(L"root cleanup"), 0u);
}

TEST_F(SilentRemovalTest, A2ALeftInstalledPreventsTheRootCleanup) {
    Install({C::A2A, C::Console});
    Run(L"/silent /console");
    EXPECT_EQ(Removed(), std::vector<std::wstring>{L"console"});
    EXPECT_EQ(Count(L"root cleanup"), 0u);
}

TEST_F(SilentRemovalTest, MissingComponentClassesAreSkipped) {
    Catalogue partial;
    auto agent = std::make_unique<FakeProduct>(log, L"agent", events);
    agent->present = true;
    partial.Set(C::Agent, std::move(agent));
    RunSilentRemoval(L"/silent /client /relay", partial, log, [this](Remove::Log&) { events.push_back(L"root cleanup"); });
    EXPECT_EQ(events, (std::vector<std::wstring>{L"detect agent", L"remove agent", L"detect agent", L"root cleanup"}));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(SilentRemovalTest, PlanRunsTheSelectionsRemovalInPlanModeAndNeverShowsABox) {
    Install({C::Agent, C::Relay});
    RecordingLog planLog;
    const auto plan = [&](const wchar_t* arguments) {
        events.clear();
        const SilentExitCode code = RunSilentPlan(arguments, catalogue, planLog,
                                                  [this](Remove::Log&) { events.push_back(L"root cleanup"); });
        EXPECT_FALSE(Planning());
        return code;
    };
    // The agent rule refuses as in a removal, in the log only.
    EXPECT_EQ(plan(L"/silent /whatif /client"), SilentExitCode::Refused);
    EXPECT_EQ(Count(L"plan agent"), 0u);
    // The agent stays: no root cleanup. Stand-ins describe nothing: code 0.
    EXPECT_EQ(plan(L"/silent /whatif /relay"), SilentExitCode::Removed);
    EXPECT_EQ(Count(L"plan relay"), 1u);
    EXPECT_EQ(Count(L"root cleanup"), 0u);
    // Everything installed is selected: the root cleanup is planned too.
    EXPECT_EQ(plan(L"/silent /whatif /client /relay"), SilentExitCode::Removed);
    EXPECT_EQ(Count(L"plan agent") + Count(L"plan relay") + Count(L"root cleanup"), 3u);
    EXPECT_TRUE(Removed().empty());
    EXPECT_EQ(plan(L"/silent /whatif"), SilentExitCode::NothingSelected);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(fakes[C::Agent]->present);
    EXPECT_NE(planLog.Text().find(L"\r\nPlanned actions: 0 (exit code 0)\r\n"), std::wstring::npos);
}

}  // namespace
