#pragma once
// Tests on the lab machine (lab/machine): the machine is reset before the
// test and again after it, also when it fails, so every test starts from
// and leaves a machine without anything the lab can plant.
//
//   class MyRemovalTest : public LabMachineTest {};
//   TEST_F(MyRemovalTest, ...) {
//       Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
//       const Lab::Snapshot before = Lab::TakeSnapshot();
//       ...
//       const auto diff = Lab::Diff(before, Lab::TakeSnapshot());
//       EXPECT_EQ(Lab::LinesOutside(diff.went, Lab::ComponentPrefixes(L"agent")), NoLines());
//   }

#include "Lab.h"
#include "LabProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class LabMachineTest : public ::testing::Test {
protected:
    void SetUp() override { Lab::Reset(); }
    void TearDown() override { Lab::Reset(); }

    // An empty list of snapshot lines, for comparisons that print the
    // offending lines when they fail.
    static std::vector<std::wstring> NoLines() { return {}; }
};
