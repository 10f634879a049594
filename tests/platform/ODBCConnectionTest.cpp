// Connections and statements against the SQL Server stand-in: the calls
// made, in order, and the order in which handles are released.

#include "platform/ODBCConnection.h"
#include "platform/ODBCResult.h"
#include "platform/ODBCStatement.h"
#include "support/SqlServerStandIn.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const char kConnectionString[] = "Driver=SQL Server;Server=.;Trusted_Connection=Yes;";

// A stand-in that accepts the connection without a running instance: the
// connect step is planted to succeed with the informational records a
// real server sends. The connection lands on the default instance.
class ODBCConnectionTest : public testing::Test {
protected:
    ODBCConnectionTest() {
        server.PlantFailure(L"connect", SQL_SUCCESS_WITH_INFO,
                            {L"01000|5701|Changed database context to 'master'.",
                             L"01000|5703|Changed language setting to us_english."});
    }

    SqlServerStandIn server;
};

TEST_F(ODBCConnectionTest, ConnectsAsAnOdbc2ClientWithoutPromptingAndReleasesInOrder) {
    { ODBCConnection connection(kConnectionString); }
    const std::vector<std::wstring> expected = {
        L"env version 2", L"login timeout 15", L"connect Driver=SQL Server;Server=.;Trusted_Connection=Yes;",
        L"disconnect", L"free dbc", L"free env",
    };
    EXPECT_EQ(server.Seen(), expected);
}

TEST_F(ODBCConnectionTest, TheLastCopyDisconnects) {
    std::optional<ODBCConnection> first(std::in_place, kConnectionString);
    {
        const ODBCConnection copy(*first);
        first.reset();
        EXPECT_TRUE(server.Seen(L"disconnect").empty());
        EXPECT_NO_THROW(ExecuteDirect(copy, "use master"));
    }
    EXPECT_EQ(server.Seen(L"disconnect").size(), 1u);
    EXPECT_EQ(server.Seen(L"free env").size(), 1u);
}

TEST_F(ODBCConnectionTest, AStatementOutlivingItsConnectionStillFreesTheEnvironmentLast) {
    std::optional<ODBCConnection> connection(std::in_place, kConnectionString);
    std::optional<ODBCStatement> statement(std::in_place, *connection);
    connection.reset();
    EXPECT_TRUE(server.Seen(L"free dbc").empty());
    statement.reset();
    const std::vector<std::wstring> seen = server.Seen();
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[seen.size() - 3], L"disconnect");
    EXPECT_EQ(seen[seen.size() - 2], L"free dbc");
    EXPECT_EQ(seen[seen.size() - 1], L"free env");
}

TEST_F(ODBCConnectionTest, ExecuteReportsNoDataWithoutThrowing) {
    server.PlantFailure(L"update DBINFO set Version = '1'", SQL_NO_DATA, {});
    ODBCConnection connection(kConnectionString);
    ODBCStatement statement(connection);
    EXPECT_FALSE(statement.Execute("update DBINFO set Version = '1'"));
}

TEST_F(ODBCConnectionTest, FetchIsFalseAfterTheLastRowAndForAnEmptyResult) {
    server.AddDatabase(SqlServer::kDefaultInstance, L"DUDozoravare", L"9.6");
    server.AddDatabase(SqlServer::kDefaultInstance, L"ORVReporting");
    ODBCConnection connection(kConnectionString);
    {
        ExecuteDirect(connection, "use DUDozoravare");
        ODBCStatement statement(connection);
        EXPECT_TRUE(statement.Execute("select Version from DBINFO"));
        EXPECT_TRUE(statement.Fetch());
        EXPECT_FALSE(statement.Fetch());
    }
    ExecuteDirect(connection, "use ORVReporting");
    ODBCStatement statement(connection);
    statement.Execute("select Version from DBINFO");
    EXPECT_FALSE(statement.Fetch());
}

TEST_F(ODBCConnectionTest, StringParameterIsBoundAsAnsiVarchar) {
    server.AddDatabase(SqlServer::kDefaultInstance, L"ORVReporting");
    ODBCConnection connection(kConnectionString);
    ODBCStatement statement(connection);
    SQLINTEGER exists = 0;
    ODBCStringParameter parameter;
    parameter.Bind(statement, 1, "ORVReporting");
    statement.Check(SQLBindCol(statement.Handle(), 1, SQL_C_SLONG, &exists, 0, nullptr));
    statement.Execute("select case when exists ( select * from sysdatabases where name = ? ) then 1 else 0 end");
    ASSERT_TRUE(statement.Fetch());
    EXPECT_EQ(exists, 1);
    EXPECT_EQ(server.Seen(L"bind ?1 "), std::vector<std::wstring>{L"c type 1 sql type 12 size 128 buffer 129"});
}

TEST_F(ODBCConnectionTest, AFailingStatementThrowsWithTheServerText) {
    ODBCConnection connection(kConnectionString);
    try {
        ExecuteDirect(connection, "drop database ORVReporting");
        FAIL() << "no exception";
    } catch (const ODBCException& e) {
        // The environment is ODBC 2, so the server's 42000 reads 37000.
        EXPECT_EQ(std::string(e.Description()),
                  "Database Error: [Microsoft][ODBC SQL Server Driver][SQL Server]Cannot drop the database "
                  "'ORVReporting', because it does not exist or you do not have permission. (37000: 3701)");
    }
}

}  // namespace
