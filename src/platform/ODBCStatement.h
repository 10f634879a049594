#pragma once
// Statements on an ODBCConnection: direct execution of SQL text, fetching
// into columns the caller binds with SQLBindCol, and string parameters.
// Copies share one statement handle; the last copy frees it.

#include "platform/ODBCConnection.h"

#include <string>
#include <vector>

class ODBCStatement : public ReferenceCounterPL {
public:
    explicit ODBCStatement(const ODBCConnection& connection);
    ODBCStatement(const ODBCStatement&) = default;
    ~ODBCStatement() override;

    // Runs the UTF-8 text; false when the driver reports SQL_NO_DATA.
    bool Execute(const std::string& utf8Sql);
    // Fetches the next row into the bound columns; false after the last.
    bool Fetch();
    // Checks the result of a call made on this statement's handle.
    void Check(SQLRETURN result) const;

    SQLHSTMT Handle() const noexcept { return statement_; }

private:
    // A statement that outlives its connection object still frees the
    // connection handle before the environment: the driver manager refuses
    // to free an environment that has a connection handle left.
    std::shared_ptr<AutoODBCEnvironmentHandle> environment_;
    std::shared_ptr<AutoODBCDatabaseHandle> connection_;
    SQLHSTMT statement_ = SQL_NULL_HSTMT;
};

// A text parameter of a statement, in the ANSI code page. The statement
// keeps its address, so it must stay in place until the statement has run.
class ODBCStringParameter {
public:
    ODBCStringParameter() = default;
    ODBCStringParameter(const ODBCStringParameter&) = delete;
    ODBCStringParameter& operator=(const ODBCStringParameter&) = delete;

    // Binds the text as input parameter number (VARCHAR(128)).
    void Bind(ODBCStatement& statement, SQLUSMALLINT number, const std::string& utf8Text);

private:
    std::vector<char> text_;
    SQLLEN length_ = 0;
};

// Runs the text on a statement of its own; whether it returned data is
// dropped.
void ExecuteDirect(const ODBCConnection& connection, const std::string& utf8Sql);
