// The supporting databases against the SQL Server stand-in: the instance
// services are real services of the lab service program, the data sources
// are real registry keys, and Wine's own ODBC installer library removes the
// data sources as Windows' would.

#include "app/Catalogue.h"
#include "platform/FaultInjection.h"
#include "products/DatabaseProduct.h"
#include "support/DataSourceFixture.h"
#include "support/FileBytes.h"
#include "support/RunningLabService.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"
#include "support/SqlServerStandIn.h"
#include "support/StopWaitDots.h"
#include "support/TempTree.h"
#include "sysops/KeyTreeDeletionHook.h"
#include "sysops/RegistryBackup.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>

namespace {

using namespace SqlServer;

const wchar_t kServerDatabase[] = L"DUDozoravare";
const wchar_t kReportingDatabase[] = L"ORVReporting";
const wchar_t* const kServerDSNs[] = {L"orv_dudozoravare", L"orv_EnterpriseServer"};
const wchar_t* const kOtherDSNs[] = {L"localorvreportingserver", L"enterprise_setup", L"enterprise_setup32"};
const wchar_t kTryingToConnect[] = L"Trying to connect to a SQL server at localhost using NT authentication...";

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

std::wstring DetectionBanner() {
    RecordingLog log;
    log.WriteDetectionBanner(L"Supporting Databases");
    return log.Text();
}

std::wstring RemovalBanner() {
    RecordingLog log;
    log.WriteRemovalBanner(L"Supporting Databases");
    return log.Text();
}

void PlantAllDSNs(DataSourceFixture& dsns) {
    for (const wchar_t* dsn : kServerDSNs) dsns.Plant(dsn, kServerDatabase);
    for (const wchar_t* dsn : kOtherDSNs) dsns.Plant(dsn, kReportingDatabase);
}

TEST(DatabaseProductTest, NameAndVersionBeforeDetection) {
    RecordingLog log;
    DatabaseProduct databases(log);
    EXPECT_EQ(databases.Name(), L"Supporting Databases");
    EXPECT_FALSE(databases.Version());
    const Catalogue catalogue = MakeCatalogue(log);
    ASSERT_NE(catalogue.Get(Component::Databases), nullptr);
    EXPECT_EQ(catalogue.Get(Component::Databases)->Name(), L"Supporting Databases");
}

TEST(DatabaseProductTest, WithoutARunningInstanceOnlyTheServicesAreChecked) {
    SqlServerStandIn server;
    RecordingLog log;
    DatabaseProduct databases(log);
    const std::wstring serviceLines =
        L"Checking if \"MSSQLSERVER\" is running...service does not exist\r\n"
        L"Checking if \"MSSQL$SQLEXPRESS\" is running...service does not exist\r\n";
    databases.Detect();
    EXPECT_FALSE(databases.installed);
    EXPECT_EQ(log.Text(), DetectionBanner() + serviceLines);

    log.pieces.clear();
    EXPECT_TRUE(databases.Remove());
    EXPECT_EQ(log.Text(), RemovalBanner() + serviceLines +
                              L"Unable to connect to database.  It may have already been removed by the uninstaller.\r\n");
    EXPECT_FALSE(databases.connectionFailed);
    EXPECT_TRUE(server.Seen().empty());
}

TEST(DatabaseProductTest, DefaultInstanceWithNativeClientIsReachedThroughIt) {
    RegistryFixture registry;
    registry.SetString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ODBC\\ODBCINST.INI\\SQL Server Native Client 11.0", L"Driver",
                       L"C:\\Windows\\system32\\sqlncli11.dll");
    SqlServerStandIn server;
    RunningLabService instance(kDefaultService);
    RecordingLog log;
    DatabaseProduct databases(log);
    databases.Detect();

    EXPECT_FALSE(databases.installed);
    EXPECT_EQ(server.Seen(L"connect "),
              std::vector<std::wstring>{L"Driver={SQL Server Native Client 11.0};Server=.;Trusted_Connection=Yes;"});
    EXPECT_EQ(log.Text(), DetectionBanner() + L"Checking if \"MSSQLSERVER\" is running...service is running\r\n" +
                              kTryingToConnect + L"Checking for database [DUDozoravare]...database does not exist\r\n" +
                              L"Checking for database [ORVReporting]...database does not exist\r\n");
}

TEST(DatabaseProductTest, ExpressInstanceWithoutNativeClientFindsBothDatabasesAndTheVersion) {
    SqlServerStandIn server;
    server.AddDatabase(kExpressInstance, kServerDatabase, L"9.6.1.22");
    server.AddDatabase(kExpressInstance, kReportingDatabase);
    RunningLabService instance(kExpressService);
    RecordingLog log;
    DatabaseProduct databases(log);
    databases.Detect();

    EXPECT_TRUE(databases.installed);
    EXPECT_EQ(databases.Version(), std::optional<std::wstring>(L"9.6.1.22"));
    EXPECT_EQ(server.Seen(L"connect "),
              std::vector<std::wstring>{L"Driver=SQL Server;Server=localhost\\SQLEXPRESS;Trusted_Connection=Yes;"});
    const std::wstring existence =
        L"select case when exists ( select * from sysdatabases where name = ? ) then 1 else 0 end with ?1=";
    const std::vector<std::wstring> statements = {
        L"use master", existence + kServerDatabase, L"use master", existence + kReportingDatabase,
        L"use DUDozoravare", L"select Version from DBINFO",
    };
    EXPECT_EQ(server.Seen(L"exec "), statements);
    EXPECT_EQ(server.Seen().back(), L"free env");
    EXPECT_TRUE(Contains(log.Text(), L"Checking if \"MSSQL$SQLEXPRESS\" is running...service is running\r\n" +
                                         std::wstring(kTryingToConnect) +
                                         L"Checking for database [DUDozoravare]...database exists\r\n"
                                         L"Checking for database [ORVReporting]...database exists\r\n"
                                         L"Trying to determine the version of the DUDozoravare database..."
                                         L"found version '9.6.1.22'\r\n"));
}

TEST(DatabaseProductTest, AFailedLoginIsReportedOnceAndNeverRetried) {
    SqlServerStandIn server;
    server.AddDatabase(kDefaultInstance, kServerDatabase, L"9.6");
    server.FailLogins(kDefaultInstance);
    RunningLabService instance(kDefaultService);
    RecordingLog log;
    DatabaseProduct databases(log);
    databases.Detect();

    EXPECT_FALSE(databases.installed);
    EXPECT_TRUE(databases.connectionFailed);
    EXPECT_TRUE(Contains(log.Text(), std::wstring(kTryingToConnect) +
                                         L"Database Error: [Microsoft][ODBC SQL Server Driver][SQL Server]Login failed "
                                         L"for user 'LAB\\Administrator'. (28000: 18456)\r\n"));

    log.pieces.clear();
    EXPECT_TRUE(databases.Remove());
    EXPECT_EQ(log.Text(), RemovalBanner() +
                              L"Unable to connect to database.  It may have already been removed by the uninstaller.\r\n");
    databases.Detect();
    EXPECT_EQ(server.Seen(L"connect ").size(), 1u);
    EXPECT_TRUE(server.HasDatabase(kDefaultInstance, kServerDatabase));
}

TEST(DatabaseProductTest, OnlyTheReportingDatabaseLeavesTheServerDataSourcesAndTheVersion) {
    SqlServerStandIn server;
    server.AddDatabase(kDefaultInstance, kServerDatabase, L"9.5");
    server.AddDatabase(kDefaultInstance, kReportingDatabase);
    DataSourceFixture dsns;
    PlantAllDSNs(dsns);
    RunningLabService instance(kDefaultService);
    RecordingLog log;
    DatabaseProduct databases(log);
    databases.Detect();
    ASSERT_EQ(databases.Version(), std::optional<std::wstring>(L"9.5"));

    // The server database goes away behind the component's back.
    {
        RecordingLog quiet;
        DatabaseProduct other(quiet);
        const auto connection = other.Connect();
        ASSERT_TRUE(connection);
        ASSERT_TRUE(other.DropDatabase(*connection, kServerDatabase));
    }
    databases.Detect();
    EXPECT_TRUE(databases.installed);
    EXPECT_EQ(databases.Version(), std::optional<std::wstring>(L"9.5"));

    log.pieces.clear();
    EXPECT_TRUE(databases.Remove());
    EXPECT_FALSE(server.HasDatabase(kDefaultInstance, kReportingDatabase));
    for (const wchar_t* dsn : kServerDSNs) EXPECT_TRUE(DataSourceFixture::KeyExists(dsn)) << dsn;
    for (const wchar_t* dsn : kOtherDSNs) EXPECT_FALSE(DataSourceFixture::Exists(dsn)) << dsn;
    EXPECT_FALSE(Contains(log.Text(), L"orv_dudozoravare"));
    EXPECT_TRUE(Contains(log.Text(), L"Removing database \"ORVReporting\"...done\r\n"));
    EXPECT_TRUE(Contains(log.Text(), L"Removing DSN \"enterprise_setup32\"...\r\n"
                                     L"Deleting registry key \"(...)\\enterprise_setup32\"...done\r\nDSN Removed\r\n"));
    databases.Detect();
    EXPECT_FALSE(databases.installed);
}

// The ODBC installer library of this 32-bit program removes data sources of
// the 32-bit view only; those of the 64-bit view go with their keys.
TEST(DatabaseProductTest, RemovalAgainstALiveServerDropsBothAndRemovesEveryDataSource) {
    SqlServerStandIn server;
    server.AddDatabase(kDefaultInstance, kServerDatabase, L"9.6");
    server.AddDatabase(kDefaultInstance, kReportingDatabase);
    DataSourceFixture dsns;
    PlantAllDSNs(dsns);
    RunningLabService instance(kDefaultService);
    RunningLabService intake(L"IntakeDB");
    RecordingLog log;
    DatabaseProduct databases(log);
    databases.Detect();
    ASSERT_TRUE(databases.installed);

    log.pieces.clear();
    EXPECT_TRUE(databases.Remove());
    EXPECT_EQ(intake.State(), static_cast<DWORD>(SERVICE_STOPPED));
    const std::wstring expected =
        RemovalBanner() + L"Checking if \"MSSQLSERVER\" is running...service is running\r\n" + kTryingToConnect +
        L"Stopping service \"IntakeDB\"...stopped\r\n"
        L"Stopping service \"HarvestDB\"...service does not exist\r\n"
        L"Stopping service \"ORVWebReportsServer\"...service does not exist\r\n"
        L"Stopping service \"ORVRootServer\"...service does not exist\r\n"
        L"Checking for database [DUDozoravare]...database exists\r\n"
        L"Removing database \"DUDozoravare\"...done\r\n"
        L"Removing DSN \"orv_dudozoravare\"...\r\n"
        L"Deleting registry key \"(...)\\orv_dudozoravare\"...done\r\nDSN Removed\r\n"
        L"Removing DSN \"orv_EnterpriseServer\"...\r\n"
        L"Deleting registry key \"(...)\\orv_EnterpriseServer\"...done\r\nDSN Removed\r\n"
        L"Checking for database [ORVReporting]...database exists\r\n"
        L"Removing database \"ORVReporting\"...done\r\n"
        L"Removing DSN \"localorvreportingserver\"...\r\n"
        L"Deleting registry key \"(...)\\localorvreportingserver\"...done\r\nDSN Removed\r\n"
        L"Removing DSN \"enterprise_setup\"...\r\n"
        L"Deleting registry key \"(...)\\enterprise_setup\"...done\r\nDSN Removed\r\n"
        L"Removing DSN \"enterprise_setup32\"...\r\n"
        L"Deleting registry key \"(...)\\enterprise_setup32\"...done\r\nDSN Removed\r\n";
    EXPECT_EQ(WithoutStopWaitDots(log.Text()), expected);
    for (const wchar_t* dsn : kServerDSNs) EXPECT_FALSE(DataSourceFixture::Exists(dsn)) << dsn;
    for (const wchar_t* dsn : kOtherDSNs) EXPECT_FALSE(DataSourceFixture::Exists(dsn)) << dsn;
    EXPECT_EQ(server.Seen(L"exec drop database "), (std::vector<std::wstring>{kServerDatabase, kReportingDatabase}));
    databases.Detect();
    EXPECT_FALSE(databases.installed);
}

TEST(DatabaseProductTest, AServerDatabaseHeldOpenKeepsItsDataSourcesAndFailsTheRemoval) {
    SqlServerStandIn server;
    server.AddDatabase(kDefaultInstance, kServerDatabase, L"9.6");
    server.HoldOpen(kDefaultInstance, kServerDatabase);
    server.AddDatabase(kDefaultInstance, kReportingDatabase);
    DataSourceFixture dsns;
    PlantAllDSNs(dsns);
    RunningLabService instance(kDefaultService);
    RecordingLog log;
    DatabaseProduct databases(log);

    EXPECT_FALSE(databases.Remove());
    EXPECT_TRUE(Contains(log.Text(), L"Removing database \"DUDozoravare\"...error encountered: Database Error: "
                                     L"[Microsoft][ODBC SQL Server Driver][SQL Server]Cannot drop database "
                                     L"\"DUDozoravare\" because it is currently in use. (37000: 3702)\r\n"));
    EXPECT_TRUE(server.HasDatabase(kDefaultInstance, kServerDatabase));
    EXPECT_FALSE(server.HasDatabase(kDefaultInstance, kReportingDatabase));
    for (const wchar_t* dsn : kServerDSNs) {
        EXPECT_TRUE(DataSourceFixture::KeyExists(dsn)) << dsn;
        EXPECT_TRUE(DataSourceFixture::ListValueExists(dsn)) << dsn;
    }
    for (const wchar_t* dsn : kOtherDSNs) EXPECT_FALSE(DataSourceFixture::Exists(dsn)) << dsn;
}

TEST(DatabaseProductTest, DbinfoWithoutRowsLeavesTheVersionAbsent) {
    SqlServerStandIn server;
    server.AddDatabase(kDefaultInstance, kServerDatabase, L"9.6");
    RunningLabService instance(kDefaultService);
    RecordingLog log;
    DatabaseProduct databases(log);
    databases.Detect();
    ASSERT_TRUE(databases.Version());

    server.RemoveVersionRow(kDefaultInstance, kServerDatabase);
    log.pieces.clear();
    databases.Detect();
    EXPECT_TRUE(databases.installed);
    EXPECT_FALSE(databases.Version());
    EXPECT_TRUE(Contains(log.Text(), L"Trying to determine the version of the DUDozoravare database...error "
                                     L"encountered: Database Error: A database query unexpectedly failed to return "
                                     L"any results.\r\n"));
}

TEST(DatabaseProductTest, VersionTextIsCutToTheBufferAndANullReadsEmpty) {
    SqlServerStandIn server;
    const std::wstring longVersion(80, L'7');
    server.AddDatabase(kDefaultInstance, kServerDatabase, longVersion);
    RunningLabService instance(kDefaultService);
    RecordingLog log;
    DatabaseProduct databases(log);
    const auto connection = databases.Connect();
    ASSERT_TRUE(connection);
    EXPECT_EQ(databases.ReadDatabaseVersion(*connection), std::optional<std::wstring>(std::wstring(64, L'7')));
    server.SetNullVersion(kDefaultInstance, kServerDatabase);
    EXPECT_EQ(databases.ReadDatabaseVersion(*connection), std::optional<std::wstring>(L""));
    EXPECT_TRUE(Contains(log.Text(), L"found version ''\r\n"));
}

TEST(DatabaseProductTest, AFailedExistenceTestCountsAsMissing) {
    SqlServerStandIn server;
    server.AddDatabase(kDefaultInstance, kServerDatabase, L"9.6");
    server.PlantFailure(L"use master", SQL_ERROR, {L"08S01|10054|[DBNETLIB]General network error. Check your network documentation."});
    RunningLabService instance(kDefaultService);
    RecordingLog log;
    DatabaseProduct databases(log);
    databases.Detect();
    EXPECT_FALSE(databases.installed);
    EXPECT_TRUE(Contains(log.Text(), L"Checking for database [DUDozoravare]...error encountered: Database Error: "
                                     L"[DBNETLIB]General network error. Check your network documentation. (08S01: "
                                     L"10054)\r\n"));
    EXPECT_TRUE(databases.Remove());
    EXPECT_TRUE(server.HasDatabase(kDefaultInstance, kServerDatabase));
}

TEST(DatabaseProductTest, ADataSourceTheInstallerRefusesKeepsItsEntries) {
    DataSourceFixture dsns;
    dsns.Plant(L"enterprise_setup", kReportingDatabase);
    RecordingLog log;
    DatabaseProduct databases(log);
    WindowsPlatform::ScopedFault refused("SQLRemoveDSNFromIniW", ERROR_NOT_FOUND);
    EXPECT_FALSE(databases.RemoveDSN(L"enterprise_setup"));
    EXPECT_EQ(log.Text(), L"Removing DSN \"enterprise_setup\"...\r\nfailed to delete DSN\r\n");
    EXPECT_TRUE(DataSourceFixture::KeyExists(L"enterprise_setup"));
    EXPECT_TRUE(DataSourceFixture::ListValueExists(L"enterprise_setup"));
}

TEST(DatabaseProductTest, RegistryEntriesOfADataSourceGoFromThe64BitView) {
    DataSourceFixture dsns;
    dsns.Plant(L"orv_dudozoravare", kServerDatabase);
    dsns.Plant(L"orv_EnterpriseServer", kServerDatabase);
    RecordingLog log;
    DatabaseProduct databases(log);
    EXPECT_TRUE(databases.RemoveDSNRegistryEntries(L"orv_dudozoravare"));
    EXPECT_EQ(log.Text(), L"Deleting registry key \"(...)\\orv_dudozoravare\"...done\r\n");
    EXPECT_FALSE(DataSourceFixture::Exists(L"orv_dudozoravare"));
    EXPECT_TRUE(DataSourceFixture::KeyExists(L"orv_EnterpriseServer"));
    EXPECT_TRUE(DataSourceFixture::ListValueExists(L"orv_EnterpriseServer"));

    log.pieces.clear();
    EXPECT_TRUE(databases.RemoveDSNRegistryEntries(L"orv_dudozoravare"));
    EXPECT_TRUE(log.Text().empty());
}

// A data source of the same name in both views: the 64-bit one goes with
// the key below it, and the backup names it where it was; the 32-bit one,
// which the program would reach by default, stays.
TEST(DatabaseProductTest, OnlyThe64BitDataSourceGoesWhenBothViewsHaveOne) {
    DataSourceFixture dsns;
    dsns.Plant(L"orv_dudozoravare", kServerDatabase);
    dsns.PlantSubkey(L"orv_dudozoravare", L"Options");
    DataSourceFixture bystanders(DataSourceFixture::k32BitView);
    bystanders.Plant(L"orv_dudozoravare", kServerDatabase);
    bystanders.PlantSubkey(L"orv_dudozoravare", L"Options");
    TempTree folder;
    const std::unique_ptr<RegistryBackup> backup = RegistryBackup::Create(folder.Root(), SYSTEMTIME{2026, 12, 3, 9});
    ScopedKeyTreeDeletionHook hook(backup.get());
    RecordingLog log;
    DatabaseProduct databases(log);

    EXPECT_TRUE(databases.RemoveDSNRegistryEntries(L"orv_dudozoravare"));
    EXPECT_EQ(log.Text(), L"Deleting registry key \"(...)\\orv_dudozoravare\"...done\r\n");
    EXPECT_FALSE(DataSourceFixture::Exists(L"orv_dudozoravare"));
    EXPECT_TRUE(DataSourceFixture::KeyExists(L"orv_dudozoravare\\Options", DataSourceFixture::k32BitView));
    EXPECT_TRUE(DataSourceFixture::ListValueExists(L"orv_dudozoravare", DataSourceFixture::k32BitView));
    // Key names as the registry keeps them, whose case may differ from ours.
    std::wstring saved = ReadUtf16File(backup->Path());
    CharUpperBuffW(saved.data(), static_cast<DWORD>(saved.size()));
    EXPECT_NE(saved.find(L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBC.INI\\ORV_DUDOZORAVARE\\OPTIONS]"),
              std::wstring::npos)
        << saved;
    EXPECT_EQ(saved.find(L"WOW6432NODE"), std::wstring::npos) << saved;
}

TEST(DatabaseProductTest, WithoutAnyDataSourceKeysThereIsNothingToRemove) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, DataSourceFixture::kIniKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) ==
        ERROR_SUCCESS) {
        RegCloseKey(key);
        GTEST_SKIP() << "this prefix has data sources";
    }
    RecordingLog log;
    DatabaseProduct databases(log);
    EXPECT_TRUE(databases.RemoveDSNRegistryEntries(L"enterprise_setup"));
    EXPECT_TRUE(log.Text().empty());
}

}  // namespace
