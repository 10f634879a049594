// Detection rules of the agent, the server and the relay on the real
// registry of the test prefix.

#include "products/ClientProduct.h"
#include "products/RelayProduct.h"
#include "products/ServerProduct.h"
#include "sysops/ShellFolders.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kSettingsKey[] = L"SOFTWARE\\Orvalis\\Enterprise Server";

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

size_t Occurrences(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(ProductDetectionTest, NamesBeforeAndAfterTheFirstDetection) {
    RecordingLog log;
    ClientProduct agent(log);
    ServerProduct server(log);
    RelayProduct relay(log);
    EXPECT_EQ(agent.Name(), L"Agent");
    EXPECT_EQ(server.Name(), L"Server");
    EXPECT_EQ(relay.Name(), L"Relay");
    EXPECT_FALSE(agent.Version().has_value());
    EXPECT_TRUE(log.pieces.empty());  // constructing touches nothing

    agent.Detect();
    EXPECT_FALSE(agent.installed);
    EXPECT_EQ(agent.Name(), L"Stennet Orvalis Client");
    const std::wstring first = log.Text();
    EXPECT_TRUE(Contains(first, L"* Detecting Agent\r\n"));
    EXPECT_TRUE(Contains(first, L"Setting product name to \"Stennet Orvalis Client\"\r\n"));
    EXPECT_TRUE(Contains(first, L"Setting default path to \"" + *ProgramFilesFolder() +
                                    L"\\Orvalis Enterprise\\ORV Client\"\r\n"));
    EXPECT_TRUE(Contains(first, L"Actual install directory could not be determined, using default directory \""));

    log.pieces.clear();
    agent.Detect();
    const std::wstring second = log.Text();
    EXPECT_TRUE(Contains(second, L"* Detecting Stennet Orvalis Client\r\n"));
    EXPECT_FALSE(Contains(second, L"Setting product name"));
    EXPECT_FALSE(Contains(second, L"Setting default path"));
}

TEST(ProductDetectionTest, AgentHelperImagePathInQuotesIsTestedWithoutThem) {
    RegistryFixture registry;
    const std::wstring file = *ProgramFilesFolder() + L"\\helper test " + std::to_wstring(GetCurrentProcessId()) + L".exe";
    HANDLE created = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);
    registry.SetString(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\ORVClientHelper", L"ImagePath",
                       L"\"" + file + L"\"");

    RecordingLog log;
    ClientProduct agent(log);
    agent.Detect();
    DeleteFileW(file.c_str());
    EXPECT_TRUE(agent.installed);
    EXPECT_TRUE(Contains(log.Text(), L"Checking for file \"" + file + L"\"...found\r\n"));
}

TEST(ProductDetectionTest, AgentHelperImagePathWithArgumentsIsTestedWhole) {
    RegistryFixture registry;
    const std::wstring value = L"\"C:\\helper.exe\" -service";
    registry.SetString(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\ORVClientHelper", L"ImagePath", value);
    RecordingLog log;
    ClientProduct agent(log);
    agent.Detect();
    EXPECT_TRUE(Contains(log.Text(), L"Checking for file \"" + value + L"\"...not found\r\n"));
    // The service key itself is one of the helper's traces.
    EXPECT_TRUE(agent.installed);
}

TEST(ProductDetectionTest, SettingsKeyMarkedByARelayIsARelayNotAServer) {
    RegistryFixture registry;
    registry.SetString(HKEY_LOCAL_MACHINE, kSettingsKey, L"RelayVersion", L"9.5.3");
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\OVEAdmin");

    RecordingLog serverLog;
    ServerProduct server(serverLog);
    server.Detect();
    EXPECT_FALSE(server.installed);
    EXPECT_TRUE(Contains(serverLog.Text(),
                         L"Checking for registry key value \"HKLM\\SOFTWARE\\Orvalis\\Enterprise Server:[RelayVersion]\"...found"));
    EXPECT_FALSE(Contains(serverLog.Text(), L"Checking for registry key \"HKLM\\SOFTWARE\\Orvalis\\OVEAdmin\""));

    RecordingLog relayLog;
    RelayProduct relay(relayLog);
    relay.Detect();
    EXPECT_TRUE(relay.installed);
}

TEST(ProductDetectionTest, ServerKeysCountWithoutTheRelayMark) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\OVEAdmin");
    RecordingLog log;
    ServerProduct server(log);
    server.Detect();
    EXPECT_TRUE(server.installed);
    // All nine keys are checked even after one was found.
    EXPECT_EQ(Occurrences(log.Text(), L"Checking for registry key \"HKLM\\"), 9u);
}

TEST(ProductDetectionTest, WebReportsPathEndingDecidesTheWebRoot) {
    RegistryFixture registry;
    const std::wstring reportsKey = std::wstring(kSettingsKey) + L"\\ORVReports";
    registry.SetString(HKEY_LOCAL_MACHINE, reportsKey, L"Path", L"D:\\Web\\cgi-bin\\orvreports");
    RecordingLog log;
    ServerProduct server(log);
    server.Detect();
    EXPECT_TRUE(Contains(log.Text(), L"Checking for file \"D:\\Web\\\"..."));
    EXPECT_FALSE(Contains(log.Text(), L"Actual WR's wwwroot could not be determined"));

    for (const wchar_t* other : {L"D:\\Web\\CGI-BIN\\orvreports", L"D:\\Web\\cgi-bin\\orvreports\\"}) {
        registry.SetString(HKEY_LOCAL_MACHINE, reportsKey, L"Path", other);
        RecordingLog otherLog;
        ServerProduct otherServer(otherLog);
        otherServer.Detect();
        EXPECT_TRUE(Contains(otherLog.Text(), L"Actual WR's wwwroot could not be determined, using default directory \"" +
                                                  *ProgramFilesFolder() +
                                                  L"\\Orvalis Enterprise\\ORV Server\\ORVReportsServer\\wwwroot\"\r\n"))
            << other;
    }
}

TEST(ProductDetectionTest, RelayEditionWithGuillemetsIsFoundSecond) {
    RegistryFixture registry;
    const std::wstring entry = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + registry.Unique(L"RelayTest");
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"DisplayName", L"\u00bbStennet Orvalis Relay\u00ab");
    RecordingLog log;
    RelayProduct relay(log);
    relay.Detect();
    EXPECT_EQ(relay.Name(), L"\u00bbStennet Orvalis Relay\u00ab");
    EXPECT_TRUE(relay.installed);
}

}  // namespace
