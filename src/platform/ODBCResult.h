#pragma once
// Turns the return code of an ODBC call into an exception of the
// ODBCException family. For SQL_ERROR the diagnostic records of the handle
// decide the class, and their texts make the message:
// "Database Error: <message> (<state>: <native error>)", one record per
// line.

#include "platform/Errors.h"
#include "platform/ODBCApi.h"

#include <string>

// Returns for SQL_SUCCESS and SQL_SUCCESS_WITH_INFO (whose records are read
// and dropped); throws for every other code.
void CheckODBCResult(SQLRETURN result, SQLHANDLE handle, SQLSMALLINT handleType);

// "Database Error: " followed by the detail: the message of every database
// exception.
std::string DatabaseErrorMessage(const std::string& detail);

// The exception for a query that returned no row where one was expected.
NothingReturnedFromQuery NothingReturnedError();
