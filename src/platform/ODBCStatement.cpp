#include "platform/ODBCStatement.h"

#include "platform/ODBCResult.h"
#include "platform/Text.h"

#include <algorithm>

namespace {

constexpr SQLULEN kParameterColumnSize = 128;
constexpr SQLLEN kParameterBufferBytes = 129;

}  // namespace

ODBCStatement::ODBCStatement(const ODBCConnection& connection)
    : environment_(connection.SharedEnvironment()), connection_(connection.SharedHandle()) {
    CheckODBCResult(SQLAllocHandle(SQL_HANDLE_STMT, connection.Handle(), &statement_), connection.Handle(),
                    SQL_HANDLE_DBC);
}

ODBCStatement::~ODBCStatement() {
    if (LastReference()) SQLFreeHandle(SQL_HANDLE_STMT, statement_);
}

bool ODBCStatement::Execute(const std::string& utf8Sql) {
    std::wstring text = TranscodeU8ToU16(utf8Sql);
    const SQLRETURN result = SQLExecDirectW(statement_, reinterpret_cast<SQLWCHAR*>(text.data()), SQL_NTS);
    if (result == SQL_NO_DATA) return false;
    Check(result);
    return true;
}

bool ODBCStatement::Fetch() {
    const SQLRETURN result = SQLFetch(statement_);
    if (result == SQL_NO_DATA) return false;
    Check(result);
    return true;
}

void ODBCStatement::Check(SQLRETURN result) const { CheckODBCResult(result, statement_, SQL_HANDLE_STMT); }

void ODBCStringParameter::Bind(ODBCStatement& statement, SQLUSMALLINT number, const std::string& utf8Text) {
    const std::string ansi = Utf8ToAnsi(utf8Text);
    // The buffer is never smaller than the length announced to the driver.
    text_.assign(std::max<size_t>(ansi.size() + 1, kParameterBufferBytes), '\0');
    std::copy(ansi.begin(), ansi.end(), text_.begin());
    length_ = static_cast<SQLLEN>(ansi.size());
    statement.Check(SQLBindParameter(statement.Handle(), number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                     kParameterColumnSize, 0, text_.data(), kParameterBufferBytes, &length_));
}

void ExecuteDirect(const ODBCConnection& connection, const std::string& utf8Sql) {
    ODBCStatement statement(connection);
    statement.Execute(utf8Sql);
}
