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

// Snapshot prefixes of the suite's shared roots, which the remover takes only
// when nothing of the suite is left.
inline const std::vector<std::wstring> kRootPrefixes = {
    L"reg HKLM\\SOFTWARE\\Wow6432Node\\Orvalis",
    L"reg HKLM\\SOFTWARE\\Wow6432Node\\Orvalis, Inc.",
    L"file C:\\Program Files (x86)\\Orvalis Enterprise",
    L"reg HKU\\.Default\\Software\\Orvalis",
    L"reg HKU\\S-1-5-21-0-0-0-1000\\Software\\Orvalis",
};

class LabMachineTest : public ::testing::Test {
protected:
    void SetUp() override { Lab::Reset(); }
    void TearDown() override { Lab::Reset(); }

    // An empty list of snapshot lines, for comparisons that print the
    // offending lines when they fail.
    static std::vector<std::wstring> NoLines() { return {}; }

    // The snapshot prefixes of every listed component (Lab::ComponentPrefixes).
    static std::vector<std::wstring> Prefixes(std::initializer_list<const wchar_t*> components) {
        std::vector<std::wstring> prefixes;
        for (const wchar_t* component : components) {
            const auto more = Lab::ComponentPrefixes(component);
            prefixes.insert(prefixes.end(), more.begin(), more.end());
        }
        return prefixes;
    }
};
