// How ODBC return codes and diagnostic records become exceptions. The
// records come from the SQL Server stand-in (odbc32.dll in the test
// folder), planted on the connect step, so they travel through the real
// SQLGetDiagRec calls.

#include "platform/ODBCConnection.h"
#include "platform/ODBCResult.h"
#include "support/SqlServerStandIn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kConnectionString[] = "Driver=SQL Server;Server=.;Trusted_Connection=Yes;";

struct Caught {
    std::string className;
    std::string message;
};

template <class Call>
Caught CatchDatabaseError(Call call) {
    try {
        call();
    } catch (const ODBCException& e) {
        return {e.ClassDisplayName(), std::string(e.Description())};
    }
    return {"no exception", ""};
}

// Connects with the connect step failing with these records.
Caught ConnectFailing(const std::vector<std::wstring>& records, short result = SQL_ERROR) {
    SqlServerStandIn server;
    server.PlantFailure(L"connect", result, records);
    return CatchDatabaseError([] { ODBCConnection connection(kConnectionString); });
}

TEST(ODBCResultTest, SuccessCodesReturn) {
    EXPECT_NO_THROW(CheckODBCResult(SQL_SUCCESS, SQL_NULL_HANDLE, 0));
    EXPECT_NO_THROW(CheckODBCResult(SQL_SUCCESS_WITH_INFO, SQL_NULL_HANDLE, 0));
}

TEST(ODBCResultTest, OtherCodesThrowAGenericErrorNamingTheCode) {
    const std::pair<SQLRETURN, const char*> cases[] = {
        {SQL_STILL_EXECUTING, "Database Error: Still Executing"},
        {SQL_NEED_DATA, "Database Error: Need Data"},
        {SQL_NO_DATA, "Database Error: No Data"},
        {SQL_INVALID_HANDLE, "Database Error: Invalid Handle"},
        {3, "Database Error: Unknown ODBC Error"},
        // What Wine's own odbc32 returns for every call.
        {5, "Database Error: Unknown ODBC Error"},
    };
    for (const auto& [code, text] : cases) {
        const Caught caught = CatchDatabaseError([code = code] { CheckODBCResult(code, SQL_NULL_HANDLE, 0); });
        EXPECT_EQ(caught.className, "class ODBCException") << code;
        EXPECT_EQ(caught.message, text) << code;
    }
}

TEST(ODBCResultTest, ErrorWithoutRecordsHasAnEmptyDetail) {
    const Caught caught = CatchDatabaseError([] { CheckODBCResult(SQL_ERROR, SQL_NULL_HANDLE, 0); });
    EXPECT_EQ(caught.className, "class ODBCException");
    EXPECT_EQ(caught.message, "Database Error: ");
    EXPECT_EQ(ConnectFailing({}).message, "Database Error: ");
}

TEST(ODBCResultTest, RecordsAreJoinedByLineFeedsAndTheFirstClassificationStays) {
    const Caught caught = ConnectFailing({L"08S01|10054|Communication link failure", L"37000|0|Syntax error"});
    EXPECT_EQ(caught.className, "class DatabaseConnectionError");
    EXPECT_EQ(caught.message,
              "Database Error: Communication link failure (08S01: 10054)\nSyntax error (37000: 0)");
}

TEST(ODBCResultTest, ALaterRecordThatMatchesReplacesTheClassification) {
    EXPECT_EQ(ConnectFailing({L"08001|17|unreachable", L"S1T00|0|Login timeout expired"}).className,
              "class DatabaseTimeoutExpiredError");
    EXPECT_EQ(ConnectFailing({L"08001|2|pipes", L"S1T00|0|Login timeout expired", L"08001|2|not found"}).className,
              "class DatabaseConnectionError");
}

TEST(ODBCResultTest, EachRuleSelectsItsClass) {
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"08001|17|x", "class DatabaseConnectionError"},
        {L"08S01|0|x", "class DatabaseConnectionError"},
        {L"S1T00|0|x", "class DatabaseTimeoutExpiredError"},
        {L"HYT00|0|x", "class ODBCException"},  // ODBC 3 spelling: not a time-out here
        {L"37000|4060|x", "class DatabaseConnectionError"},
        {L"37000|4061|x", "class ODBCException"},
        {L"08004|-30061|x", "class DB2DatabaseDoesNotExist"},
        {L"08001|-1013|x", "class DB2DatabaseDoesNotExist"},
        {L"58031|-1031|x", "class DB2DatabaseDirectoryDoesNotExist"},
        {L"01000|10054|x", "class DatabaseConnectionError"},
        {L"40001|1205|x", "class DatabaseDeadlockException"},
        {L"HY000|922|x", "class DatabaseRestoringError"},
        {L"42S02|208|x", "class InvalidObjectError"},
        {L"40001|208|x", "class InvalidObjectError"},
        {L"HY000|-30081|x", "class DatabaseConnectionError"},
        {L"S1T00|0|[DBNETLIB]General network error. Check your network documentation.",
         "class DatabaseConnectionError"},
        {L"28000|18456|Login failed for user 'LAB\\Administrator'.", "class ODBCException"},
        {L"s1t00|0|x", "class ODBCException"},  // states compare case-sensitively
    };
    for (const auto& [record, className] : cases) EXPECT_EQ(ConnectFailing({record}).className, className) << record;
}

TEST(ODBCResultTest, RestoringErrorIsAConnectionErrorWithTheDatabasePrefix) {
    try {
        SqlServerStandIn server;
        server.PlantFailure(L"connect", SQL_ERROR, {L"HY000|922|Database 'DUDozoravare' is being recovered."});
        ODBCConnection connection(kConnectionString);
        FAIL() << "no exception";
    } catch (const DatabaseConnectionError& e) {
        EXPECT_EQ(std::string(e.Description()), "Database Error: Database 'DUDozoravare' is being recovered. (HY000: 922)");
        EXPECT_NE(dynamic_cast<const NonDumpableException*>(&e), nullptr);
    }
}

TEST(ODBCResultTest, InformationalRecordsNeverThrow) {
    SqlServerStandIn server;
    server.PlantFailure(L"connect", SQL_SUCCESS_WITH_INFO,
                        {L"08001|17|not an error here", L"01000|5701|Changed database context to 'master'."});
    EXPECT_NO_THROW(ODBCConnection connection(kConnectionString));
}

TEST(ODBCResultTest, UnknownCodeFromTheDriverIsReportedAsUnknown) {
    EXPECT_EQ(ConnectFailing({L"08001|17|ignored"}, 5).message, "Database Error: Unknown ODBC Error");
}

TEST(ODBCResultTest, NothingReturnedHasItsFixedText) {
    EXPECT_EQ(std::string(NothingReturnedError().Description()),
              "Database Error: A database query unexpectedly failed to return any results.");
}

}  // namespace
