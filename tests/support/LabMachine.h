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

// Every component the lab plants, by the lab's names.
inline const std::initializer_list<const wchar_t*> kWholeSuite = {
    L"agent", L"server", L"relay", L"console", L"cdt", L"generator", L"api",
    L"loggingservice", L"dlp", L"a2a", L"sam", L"msde", L"user"};

class LabMachineTest : public ::testing::Test {
protected:
    void SetUp() override { Lab::Reset(); }
    void TearDown() override { Lab::Reset(); }

    // An empty list of snapshot lines, for comparisons that print the
    // offending lines when they fail.
    static std::vector<std::wstring> NoLines() { return {}; }

    // Every component of the suite, each with a setup that removes it when
    // its uninstall string is run as the remover runs it.
    static void PlantWholeSuite() {
        Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
        Lab::Plant(L"server", Lab::SetupKind::InstallShield);
        Lab::PlantOptions byX;
        byX.uninstallByX = true;
        Lab::Plant(L"relay", byX);
        // A console older than the embedding version, so that the deploy tool
        // is a component of its own.
        Lab::PlantOptions console;
        console.version = L"9.5.4.2";
        Lab::Plant(L"console", console);
        for (const wchar_t* component : {L"cdt", L"generator", L"api", L"loggingservice", L"dlp", L"a2a", L"user"})
            Lab::Plant(component);
        Lab::Plant(L"sam", byX);
        Lab::Plant(L"msde", byX);
    }

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
