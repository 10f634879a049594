// The real ORVRemove.exe, started as an administrator would start it; its
// message boxes are real windows, found and answered by the box driver.

#include "app/SilentRemoval.h"
#include "support/BoxDriver.h"
#include "support/LabPaths.h"

#include <gtest/gtest.h>

namespace {

DrivenRun RunProduct(const std::wstring& arguments) {
    return RunAndAnswerBoxes(L"\"" + ProductProgram() + L"\" " + arguments);
}

TEST(SilentModeProgramTest, SilentAloneShowsTheUsageBoxAndExits) {
    const DrivenRun run = RunProduct(L"/silent");
    ASSERT_FALSE(run.timedOut);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, L"ORVRemove");
    EXPECT_EQ(run.boxes[0].text, kSilentUsageText);
    EXPECT_EQ(run.exitCode, 1u);  // nothing was selected
}

TEST(SilentModeProgramTest, SelectionShowsNoBox) {
    const DrivenRun run = RunProduct(L"/silent /all");
    ASSERT_FALSE(run.timedOut);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(run.exitCode, 0u);
}

}  // namespace
