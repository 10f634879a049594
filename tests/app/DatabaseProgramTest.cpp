// The real ORVRemove.exe on a machine that holds the databases part of a
// server: a running default instance with both databases, the five data
// sources and the server's IntakeDB service. The program loads the SQL
// Server stand-in beside it as its odbc32.dll.

#include "support/BoxDriver.h"
#include "support/DataSourceFixture.h"
#include "support/FileBytes.h"
#include "support/LabPaths.h"
#include "support/RegImport.h"
#include "support/RunningLabService.h"
#include "support/SqlServerStandIn.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

namespace {

using namespace SqlServer;

const wchar_t* const kDataSources[] = {L"orv_dudozoravare", L"orv_EnterpriseServer", L"localorvreportingserver",
                                       L"enterprise_setup", L"enterprise_setup32"};

class DatabaseProgramTest : public testing::Test {
protected:
    DatabaseProgramTest() {
        server.AddDatabase(kDefaultInstance, L"DUDozoravare", L"9.6.0.410");
        server.AddDatabase(kDefaultInstance, L"ORVReporting");
        for (const wchar_t* dsn : kDataSources) dsns.Plant(dsn, L"DUDozoravare");
    }

    DrivenRun RunProduct(const std::wstring& arguments) {
        return RunAndAnswerBoxes(L"\"" + ProductProgram() + L"\" " + arguments);
    }

    void ExpectDatabasesGone(const DrivenRun& run) {
        ASSERT_FALSE(run.timedOut);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_FALSE(server.HasDatabase(kDefaultInstance, L"DUDozoravare"));
        EXPECT_FALSE(server.HasDatabase(kDefaultInstance, L"ORVReporting"));
        for (const wchar_t* dsn : kDataSources) EXPECT_FALSE(DataSourceFixture::Exists(dsn)) << dsn;
        EXPECT_EQ(server.Seen(L"connect "),
                  (std::vector<std::wstring>(3, L"Driver=SQL Server;Server=.;Trusted_Connection=Yes;")));
    }

    SqlServerStandIn server;
    DataSourceFixture dsns;
    RunningLabService instance{kDefaultService};
    RunningLabService intake{L"IntakeDB"};
};

TEST_F(DatabaseProgramTest, SilentDatabaseSwitchRemovesTheDatabasesPart) {
    const DrivenRun run = RunProduct(L"/silent /database");
    ExpectDatabasesGone(run);
    EXPECT_EQ(intake.State(), static_cast<DWORD>(SERVICE_STOPPED));
    // The instance itself is not the component's.
    EXPECT_EQ(instance.State(), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(DatabaseProgramTest, SilentAllRemovesTheDatabasesPart) {
    const DrivenRun run = RunProduct(L"/silent /all");
    ExpectDatabasesGone(run);
    EXPECT_EQ(instance.State(), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(DatabaseProgramTest, SilentWithoutTheSwitchLeavesTheDatabases) {
    const DrivenRun run = RunProduct(L"/silent /msde");
    ASSERT_FALSE(run.timedOut);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(server.HasDatabase(kDefaultInstance, L"DUDozoravare"));
    for (const wchar_t* dsn : kDataSources) EXPECT_TRUE(DataSourceFixture::KeyExists(dsn)) << dsn;
    EXPECT_TRUE(server.Seen(L"exec drop").empty());
}

TEST_F(DatabaseProgramTest, WhatIfNamesDatabasesAndDataSourcesAndTheBackupBringsTheDataSourcesBack) {
    TempTree files;
    const DrivenRun plan = RunProduct(L"/silent /whatif /database \"/log=" + files.Path(L"plan.log") + L"\"");
    ASSERT_FALSE(plan.timedOut);
    EXPECT_EQ(plan.exitCode, 5u);
    EXPECT_TRUE(server.Seen(L"exec drop").empty());
    EXPECT_EQ(intake.State(), static_cast<DWORD>(SERVICE_RUNNING));
    for (const wchar_t* dsn : kDataSources) EXPECT_TRUE(DataSourceFixture::Exists(dsn)) << dsn;
    const std::wstring log = Utf8ToWide(ReadFileBytes(files.Path(L"plan.log")));
    for (const wchar_t* line : {L"Would stop service \"IntakeDB\"\r\n", L"\r\nWould drop database \"DUDozoravare\"\r\n",
                                L"\r\nWould drop database \"ORVReporting\"\r\n", L"\r\nWould remove DSN \"enterprise_setup\"\r\n",
                                L"\\ODBC Data Sources:[enterprise_setup]\"\r\n"})
        EXPECT_NE(log.find(line), std::wstring::npos) << line << L"\n" << log;

    const DrivenRun run = RunProduct(L"/silent /database \"/backup=" + files.Path(L"backup") + L"\"");
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(server.HasDatabase(kDefaultInstance, L"DUDozoravare"));
    for (const wchar_t* dsn : kDataSources) EXPECT_FALSE(DataSourceFixture::Exists(dsn)) << dsn;
    WIN32_FIND_DATAW found{};
    WindowsPlatform::UniqueFindHandle search(FindFirstFileW(files.Path(L"backup\\*.reg").c_str(), &found));
    ASSERT_TRUE(search);
    ASSERT_EQ(ImportRegFile(files.Path(L"backup\\") + found.cFileName), 0u);
    for (const wchar_t* dsn : kDataSources) {
        EXPECT_TRUE(DataSourceFixture::KeyExists(dsn)) << dsn;
        EXPECT_TRUE(DataSourceFixture::ListValueExists(dsn)) << dsn;
    }
}

}  // namespace
