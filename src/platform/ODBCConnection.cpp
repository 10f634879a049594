#include "platform/ODBCConnection.h"

#include "platform/ODBCResult.h"
#include "platform/Text.h"

#include <cstdint>
#include <vector>

namespace {

constexpr std::uint64_t kLoginTimeoutMicroseconds = 15000000;
constexpr SQLSMALLINT kCompletedStringUnits = 4096;

SQLPOINTER IntegerAttribute(std::uintptr_t value) { return reinterpret_cast<SQLPOINTER>(value); }

}  // namespace

ODBCConnection::ODBCConnection(const std::string& utf8ConnectionString)
    : environment_(std::make_shared<AutoODBCEnvironmentHandle>()),
      connection_(std::make_shared<AutoODBCDatabaseHandle>()) {
    CheckODBCResult(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, environment_->Put()), SQL_NULL_HANDLE, 0);
    const SQLHENV environment = environment_->Get();
    // Drivers then report ODBC 2 states (S1T00, 37000), which the
    // classification of failures relies on.
    CheckODBCResult(SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, IntegerAttribute(SQL_OV_ODBC2), 0), environment,
                    SQL_HANDLE_ENV);
    CheckODBCResult(SQLAllocHandle(SQL_HANDLE_DBC, environment, connection_->Put()), environment, SQL_HANDLE_ENV);

    const SQLHDBC connection = connection_->Get();
    const auto timeoutSeconds = static_cast<std::uintptr_t>(kLoginTimeoutMicroseconds / 1000000);
    CheckODBCResult(SQLSetConnectAttrW(connection, SQL_ATTR_LOGIN_TIMEOUT, IntegerAttribute(timeoutSeconds),
                                       SQL_IS_UINTEGER),
                    connection, SQL_HANDLE_DBC);

    std::wstring text = TranscodeU8ToU16(utf8ConnectionString);
    std::vector<wchar_t> completed(kCompletedStringUnits, L'\0');
    SQLSMALLINT completedLength = 0;
    CheckODBCResult(SQLDriverConnectW(connection, nullptr, reinterpret_cast<SQLWCHAR*>(text.data()), SQL_NTS,
                                      reinterpret_cast<SQLWCHAR*>(completed.data()), kCompletedStringUnits,
                                      &completedLength, SQL_DRIVER_NOPROMPT),
                    connection, SQL_HANDLE_DBC);
}

ODBCConnection::~ODBCConnection() {
    if (!LastReference()) return;
    SQLDisconnect(connection_->Get());
    connection_.reset();
    environment_.reset();
}
