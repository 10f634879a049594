// The client deploy tool and the console that may hold it: which console
// versions hide the tool, and the line that says so.

#include "products/CDTProduct.h"
#include "products/ProductTestSupport.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

namespace {

using namespace ProductTest;

const wchar_t kEmbeddedLine[] =
    L"The Client Deploy Tool is embedded in the Console, it is not a stand alone component.\r\n";
const wchar_t kToolName[] = L"Stennet Orvalis Client Deploy Tool";

void PlantConsole(RegistryFixture& registry, const wchar_t* version) {
    const std::wstring entry = PlantEntry(registry, L"Stennet Orvalis Console", L"Console");
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"DisplayVersion", version);
}

TEST(CDTProductTest, ConsoleOfAnEmbeddingVersionHidesTheToolOnEveryDetection) {
    for (const wchar_t* consoleVersion : {L"9.5.5.0", L"9.5.6", L"10.0", L"9.5"}) {
        RegistryFixture registry;
        PlantConsole(registry, consoleVersion);
        PlantEntry(registry, kToolName, L"Tool");
        RecordingLog log;
        CDTProduct tool(log);
        tool.Detect();
        tool.Detect();
        EXPECT_FALSE(tool.installed) << consoleVersion;
        EXPECT_EQ(Occurrences(log.Text(), kEmbeddedLine), 2u) << consoleVersion;
        // The console's own detection writes nothing here, and the tool's
        // checks do not run.
        EXPECT_FALSE(Contains(log.Text(), L"Stennet Orvalis Console")) << consoleVersion;
        EXPECT_FALSE(Contains(log.Text(), L"Looking for product")) << consoleVersion;
        EXPECT_FALSE(tool.Version().has_value());
    }
}

TEST(CDTProductTest, OlderOrUnreadableConsoleVersionLeavesTheDecisionToTheTool) {
    for (const wchar_t* consoleVersion : {L"9.5.4.12", L"9.5.5.0 beta", L"1.2.3.4.5"}) {
        RegistryFixture registry;
        PlantConsole(registry, consoleVersion);
        PlantEntry(registry, kToolName, L"Tool");
        RecordingLog log;
        CDTProduct tool(log);
        tool.Detect();
        EXPECT_TRUE(tool.installed) << consoleVersion;
        EXPECT_FALSE(Contains(log.Text(), kEmbeddedLine)) << consoleVersion;
    }
}

TEST(CDTProductTest, ConsoleWithoutAVersionLeavesTheDecisionToTheTool) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_CURRENT_USER, L"Software\\Orvalis\\Enterprise Console");
    RecordingLog log;
    CDTProduct tool(log);
    tool.Detect();
    EXPECT_FALSE(tool.installed);
    EXPECT_FALSE(Contains(log.Text(), kEmbeddedLine));
    EXPECT_TRUE(Contains(log.Text(), L"Looking for product \"Stennet Orvalis Client Deploy Tool\""));
}

TEST(CDTProductTest, ToolOfAnEmbeddingVersionOnItsOwnIsInstalledWithTheLine) {
    RegistryFixture registry;
    const std::wstring entry = PlantEntry(registry, kToolName, L"Tool");
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"DisplayVersion", L"9.5.5.1");
    RecordingLog log;
    CDTProduct tool(log);
    tool.Detect();
    EXPECT_TRUE(tool.installed);
    EXPECT_EQ(tool.Version(), std::optional<std::wstring>(L"9.5.5.1"));
    EXPECT_EQ(Occurrences(log.Text(), kEmbeddedLine), 1u);
}

}  // namespace
