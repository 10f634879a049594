#pragma once
// The handles the stand-in gives out and their diagnostic records. Every
// handle is checked against the set of live handles before use, so a
// freed or foreign handle is answered with SQL_INVALID_HANDLE as the
// driver manager does.

#ifndef SQL_NOUNICODEMAP
#define SQL_NOUNICODEMAP
#endif

#include <windows.h>

#include <sql.h>
#include <sqlext.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace StandIn {

struct DiagnosticRecord {
    std::string state;
    SQLINTEGER native = 0;
    std::string message;
};

struct Environment;
struct Connection;

struct Handle {
    explicit Handle(SQLSMALLINT type) : type(type) {}
    virtual ~Handle() = default;
    // The environment whose ODBC version decides the states reported.
    virtual Environment& Owner() = 0;

    // Adds a record; odbc3State is turned into its ODBC 2 form when the
    // environment declared ODBC 2.
    void AddRecord(const char* odbc3State, SQLINTEGER native, const std::string& message);

    const SQLSMALLINT type;
    std::vector<DiagnosticRecord> diagnostics;
};

struct Environment : Handle {
    Environment() : Handle(SQL_HANDLE_ENV) {}
    Environment& Owner() override { return *this; }

    SQLUINTEGER version = 0;  // not yet declared
    int connections = 0;
};

struct Statement;

struct Connection : Handle {
    explicit Connection(Environment& environment) : Handle(SQL_HANDLE_DBC), environment(environment) {}
    Environment& Owner() override { return environment; }

    Environment& environment;
    bool connected = false;
    std::wstring instance;
    std::wstring database;  // the current database context
    std::string driverPrefix;  // "[Microsoft][ODBC SQL Server Driver]"
    std::set<Statement*> statements;
};

struct ColumnBinding {
    SQLSMALLINT type = 0;
    SQLPOINTER target = nullptr;
    SQLLEN bufferBytes = 0;
    SQLLEN* indicator = nullptr;
};

struct ParameterBinding {
    SQLSMALLINT valueType = 0;
    SQLSMALLINT sqlType = 0;
    SQLULEN columnSize = 0;
    SQLPOINTER value = nullptr;
    SQLLEN bufferBytes = 0;
    SQLLEN* indicator = nullptr;
};

// One value of a one-column result.
struct Value {
    bool isNull = false;
    bool isInteger = false;
    SQLINTEGER integer = 0;
    std::wstring text;
};

struct Statement : Handle {
    explicit Statement(Connection& connection) : Handle(SQL_HANDLE_STMT), connection(connection) {}
    Environment& Owner() override { return connection.environment; }

    Connection& connection;
    std::map<SQLUSMALLINT, ColumnBinding> columns;
    std::map<SQLUSMALLINT, ParameterBinding> parameters;
    bool cursorOpen = false;
    std::vector<Value> rows;
    size_t nextRow = 0;
};

void RegisterHandle(Handle* handle);

// A new handle, registered as live.
template <class T, class... Args>
T* NewHandle(Args&... args) {
    T* handle = new T(args...);
    RegisterHandle(handle);
    return handle;
}
// Deletes the handle and forgets it.
void DeleteHandle(Handle* handle);
// The live handle of that type, or null.
Handle* FindHandle(SQLHANDLE handle, SQLSMALLINT type);

template <class T>
T* Find(SQLHANDLE handle, SQLSMALLINT type) {
    return static_cast<T*>(FindHandle(handle, type));
}

}  // namespace StandIn
