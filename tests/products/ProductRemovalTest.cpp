// Removal rules of the agent, the server and the relay that are easy to get
// wrong, on the real registry of the test prefix.

#include "platform/FaultInjection.h"
#include "products/ClientProduct.h"
#include "products/RelayProduct.h"
#include "products/ServerProduct.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kSettingsKey = L"SOFTWARE\\Orvalis\\Enterprise Server";
const wchar_t* const kWebReportsSubkeys[] = {L"ClientRegister", L"IntakeDB", L"HarvestService", L"GlobalOptions"};

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

TEST(ProductRemovalTest, RelayKeepsTheSettingsKeyWhileWebReportsUseIt) {
    RegistryFixture registry;
    registry.SetString(HKEY_LOCAL_MACHINE, kSettingsKey, L"RelayVersion", L"9.5");
    registry.SetString(HKEY_LOCAL_MACHINE, kSettingsKey, L"ORVWebReportsInstalled", L"1");
    for (const wchar_t* subkey : kWebReportsSubkeys) registry.CreateKey(HKEY_LOCAL_MACHINE, kSettingsKey + L"\\" + subkey);
    registry.CreateKey(HKEY_LOCAL_MACHINE, kSettingsKey + L"\\ORVReports");
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\ORVRelay");

    RecordingLog log;
    RelayProduct relay(log);
    relay.Detect();
    ASSERT_TRUE(relay.installed);
    EXPECT_TRUE(relay.Remove());

    for (const wchar_t* subkey : kWebReportsSubkeys)
        EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey + L"\\" + subkey)) << subkey;
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey + L"\\ORVReports"));
    EXPECT_TRUE(RegistryFixture::ValueExists(HKEY_LOCAL_MACHINE, kSettingsKey, L"ORVWebReportsInstalled"));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\ORVRelay"));
}

TEST(ProductRemovalTest, RelayWithoutWebReportsRemovesTheWholeSettingsKey) {
    RegistryFixture registry;
    registry.SetString(HKEY_LOCAL_MACHINE, kSettingsKey, L"RelayVersion", L"9.5");
    registry.CreateKey(HKEY_LOCAL_MACHINE, kSettingsKey + L"\\GlobalOptions");
    RecordingLog log;
    RelayProduct relay(log);
    relay.Detect();
    EXPECT_TRUE(relay.Remove());
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_TRUE(Contains(log.Text(), L"Deleting registry key \"HKLM\\SOFTWARE\\Orvalis\\Enterprise Server\"...done\r\n"));
    relay.Detect();
    EXPECT_FALSE(relay.installed);
}

TEST(ProductRemovalTest, ServerRemovalAlsoDeletesTheRelayKey) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\Orvalis Server");
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\ORVRelay");
    RecordingLog log;
    ServerProduct server(log);
    server.Detect();
    ASSERT_TRUE(server.installed);
    EXPECT_TRUE(server.Remove());
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\ORVRelay"));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\Orvalis Server"));
    server.Detect();
    EXPECT_FALSE(server.installed);
}

TEST(ProductRemovalTest, AgentStopsAtOnceWhenTheResponseFileCannotBeWritten) {
    RegistryFixture registry;
    const std::wstring entry = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + registry.Unique(L"AgentTest");
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"DisplayName", L"Stennet Orvalis Client");
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", L"\"C:\\no such setup\\setup.exe\"");
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\EnterpriseClient");

    RecordingLog log;
    ClientProduct agent(log);
    agent.Detect();
    ASSERT_TRUE(agent.installed);
    log.pieces.clear();
    WindowsPlatform::ScopedFault fault("CreateFileW/ResponseFile", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(agent.Remove());

    const std::wstring text = log.Text();
    EXPECT_TRUE(Contains(text, L"Creating install shield response file...File error \"class FileIOError\" on \""));
    EXPECT_FALSE(Contains(text, L"Running uninstaller"));
    EXPECT_FALSE(Contains(text, L"Deleting registry key"));
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\EnterpriseClient"));
}

TEST(ProductRemovalTest, AgentWithoutUninstallStringRunsNothingAndRemovesByHand) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\ClientComplianceAPI");
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\ORVClientHelper");
    RecordingLog log;
    ClientProduct agent(log);
    agent.Detect();
    ASSERT_TRUE(agent.installed);
    EXPECT_TRUE(agent.Remove());
    const std::wstring text = log.Text();
    EXPECT_FALSE(Contains(text, L"Running uninstaller"));
    EXPECT_FALSE(Contains(text, L"Uninstaller appears unsuccessful"));
    EXPECT_TRUE(Contains(text, L"Deleting registry key \"HKLM\\SOFTWARE\\Orvalis\\ORVClientHelper\"...done\r\n"));
    EXPECT_TRUE(Contains(text, L"Deleting registry key \"HKLM\\SOFTWARE\\Orvalis\\ClientComplianceAPI\"...done\r\n"));
    agent.Detect();
    EXPECT_FALSE(agent.installed);
}

}  // namespace

namespace {

TEST(ResponseFileTest, WritesTheExactBytesAndOverwrites) {
    RecordingLog log;
    ClientProduct agent(log);
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"orv-response-test.iss";
    HANDLE old = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(old, "an older and much longer text than the response file holds, to be cut away entirely", 84, &written,
              nullptr);
    CloseHandle(old);

    EXPECT_TRUE(agent.WriteResponseFile(path));
    EXPECT_EQ(log.Text(), L"Creating install shield response file...done\r\n");

    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char bytes[256] = {};
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    DeleteFileW(path.c_str());
    EXPECT_EQ(std::string(bytes, read),
              "[InstallShield Silent]\r\nVersion=v7.00\r\nFile=Response File\r\n[File Transfer]\r\n"
              "OverwrittenReadOnly=NoToAll\r\n");
}

}  // namespace
