// The ODBC calls that ORVRemove makes, answered as the driver manager and a
// local SQL Server would answer them for the connection strings and SQL
// texts of the supporting-databases component. What the server holds and
// which steps fail is read from the registry (StandInState.h); every call
// worth checking is recorded there too.

#include "StandInHandles.h"
#include "StandInState.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <optional>

using namespace StandIn;

namespace {

const char kDriverManager[] = "[Microsoft][ODBC Driver Manager] ";
const char kPlainDriver[] = "[Microsoft][ODBC SQL Server Driver]";
const char kNativeClient[] = "[Microsoft][SQL Server Native Client 11.0]";
const char kServer[] = "[SQL Server]";

const wchar_t kExistenceQuery[] =
    L"select case when exists ( select * from sysdatabases where name = ? ) then 1 else 0 end";
const wchar_t kVersionQuery[] = L"select Version from DBINFO";
const wchar_t kUse[] = L"use ";
const wchar_t kDrop[] = L"drop database ";

std::mutex& CallLock() {
    static std::mutex lock;
    return lock;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

std::wstring Text(const SQLWCHAR* text, SQLINTEGER length) {
    if (text == nullptr) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    return length == SQL_NTS ? std::wstring(wide) : std::wstring(wide, static_cast<size_t>(std::max<SQLINTEGER>(length, 0)));
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

SQLRETURN Apply(Handle& handle, const PlantedFailure& failure) {
    for (const PlantedRecord& record : failure.records)
        handle.diagnostics.push_back({record.state, static_cast<SQLINTEGER>(record.native), record.message});
    return failure.result;
}

SQLRETURN ServerError(Statement& statement, const char* state, SQLINTEGER native, const std::string& message) {
    statement.AddRecord(state, native, statement.connection.driverPrefix + kServer + message);
    return SQL_ERROR;
}

// --- Connecting ---

std::optional<std::wstring> InstanceFor(const std::wstring& rest) {
    if (rest == L";Server=.;Trusted_Connection=Yes;") return L"MSSQLSERVER";
    if (rest == L";Server=localhost\\SQLEXPRESS;Trusted_Connection=Yes;") return L"SQLEXPRESS";
    return std::nullopt;
}

SQLRETURN Unreachable(Connection& connection, const std::string& driver) {
    if (driver == kNativeClient) {
        connection.AddRecord("08001", 2, driver + "Named Pipes Provider: Could not open a connection to SQL Server [2]. ");
        connection.AddRecord("HYT00", 0, driver + "Login timeout expired");
        connection.AddRecord("08001", 2,
                             driver + "A network-related or instance-specific error has occurred while establishing a "
                                      "connection to SQL Server. Server is not found or not accessible.");
    } else {
        connection.AddRecord("08001", 17, driver + "[DBNETLIB]SQL Server does not exist or access denied.");
        connection.AddRecord("01000", 53, driver + "[DBNETLIB]ConnectionOpen (Connect()).");
    }
    return SQL_ERROR;
}

void Open(Connection& connection, const std::wstring& instance, const std::string& driver) {
    connection.connected = true;
    connection.instance = instance;
    connection.database = L"master";
    connection.driverPrefix = driver;
}

SQLRETURN Connect(Connection& connection, const std::wstring& text) {
    if (const auto planted = PlantedFailureFor(L"connect")) {
        const SQLRETURN result = Apply(connection, *planted);
        if (SQL_SUCCEEDED(result)) Open(connection, L"MSSQLSERVER", kPlainDriver);
        return result;
    }
    const size_t end = text.find(L';');
    const std::wstring driverPart = text.substr(0, end);
    std::string driver;
    if (driverPart == L"Driver={SQL Server Native Client 11.0}" && NativeClientRegistered())
        driver = kNativeClient;
    else if (driverPart == L"Driver=SQL Server")
        driver = kPlainDriver;
    if (driver.empty()) {
        connection.AddRecord("IM002", 0,
                             std::string(kDriverManager) + "Data source name not found and no default driver specified");
        return SQL_ERROR;
    }
    const auto instance = end == std::wstring::npos ? std::nullopt : InstanceFor(text.substr(end));
    if (!instance || !InstanceRunning(*instance)) return Unreachable(connection, driver);
    if (LoginFails(*instance)) {
        connection.AddRecord("28000", 18456, driver + kServer + "Login failed for user 'LAB\\Administrator'.");
        return SQL_ERROR;
    }
    Open(connection, *instance, driver);
    connection.AddRecord("01000", 5701, driver + kServer + "Changed database context to 'master'.");
    connection.AddRecord("01000", 5703, driver + kServer + "Changed language setting to us_english.");
    return SQL_SUCCESS_WITH_INFO;
}

// --- Statements ---

std::optional<std::wstring> ParameterText(const ParameterBinding& parameter) {
    if (parameter.value == nullptr || (parameter.indicator != nullptr && *parameter.indicator == SQL_NULL_DATA))
        return std::nullopt;
    const char* text = static_cast<const char*>(parameter.value);
    const size_t length = parameter.indicator == nullptr || *parameter.indicator == SQL_NTS
                              ? std::strlen(text)
                              : static_cast<size_t>(*parameter.indicator);
    return Wide(std::string(text, length));
}

SQLRETURN Use(Statement& statement, const std::wstring& name) {
    Connection& connection = statement.connection;
    if (!FindDatabase(connection.instance, name))
        return ServerError(statement, "08004", 911,
                           "Database '" + Narrow(name) + "' does not exist. Make sure that the name is entered correctly.");
    connection.database = name;
    statement.AddRecord("01000", 5701, connection.driverPrefix + kServer + "Changed database context to '" + Narrow(name) + "'.");
    return SQL_SUCCESS_WITH_INFO;
}

void OpenCursor(Statement& statement, std::vector<Value> rows) {
    statement.rows = std::move(rows);
    statement.nextRow = 0;
    statement.cursorOpen = true;
}

SQLRETURN Exists(Statement& statement) {
    const auto parameter = statement.parameters.find(1);
    if (parameter == statement.parameters.end() || parameter->second.valueType != SQL_C_CHAR)
        return ServerError(statement, "07002", 0, "COUNT field incorrect or syntax error");
    const auto name = ParameterText(parameter->second);
    Value value;
    value.isInteger = true;
    value.integer = name && FindDatabase(statement.connection.instance, *name) ? 1 : 0;
    OpenCursor(statement, {value});
    return SQL_SUCCESS;
}

SQLRETURN SelectVersion(Statement& statement) {
    const Connection& connection = statement.connection;
    const auto database =
        IsSystemDatabase(connection.database) ? std::nullopt : FindDatabase(connection.instance, connection.database);
    if (!database) return ServerError(statement, "42S02", 208, "Invalid object name 'DBINFO'.");
    std::vector<Value> rows;
    if (database->versionRow) {
        Value value;
        value.isNull = database->versionRow->isNull;
        value.text = database->versionRow->text;
        rows.push_back(value);
    }
    OpenCursor(statement, rows);
    return SQL_SUCCESS;
}

SQLRETURN Drop(Statement& statement, const std::wstring& name) {
    const Connection& connection = statement.connection;
    if (IsSystemDatabase(name))
        return ServerError(statement, "42000", 3708,
                           "Cannot drop the database '" + Narrow(name) + "' because it is a system database.");
    const auto database = FindDatabase(connection.instance, name);
    if (!database)
        return ServerError(statement, "42000", 3701,
                           "Cannot drop the database '" + Narrow(name) +
                               "', because it does not exist or you do not have permission.");
    if (database->dropFails || _wcsicmp(connection.database.c_str(), name.c_str()) == 0)
        return ServerError(statement, "42000", 3702,
                           "Cannot drop database \"" + Narrow(name) + "\" because it is currently in use.");
    DeleteDatabase(connection.instance, name);
    return SQL_SUCCESS;
}

SQLRETURN Execute(Statement& statement, const std::wstring& sql) {
    std::wstring seen = L"exec " + sql;
    for (const auto& [number, parameter] : statement.parameters)
        seen += L" with ?" + std::to_wstring(number) + L"=" + ParameterText(parameter).value_or(L"NULL");
    RecordSeen(seen);
    if (statement.cursorOpen) {
        statement.AddRecord("24000", 0, statement.connection.driverPrefix + "Invalid cursor state");
        return SQL_ERROR;
    }
    if (const auto planted = PlantedFailureFor(sql)) return Apply(statement, *planted);
    if (StartsWith(sql, kUse)) return Use(statement, sql.substr(std::wcslen(kUse)));
    if (sql == kExistenceQuery) return Exists(statement);
    if (sql == kVersionQuery) return SelectVersion(statement);
    if (StartsWith(sql, kDrop)) return Drop(statement, sql.substr(std::wcslen(kDrop)));
    return ServerError(statement, "42000", 102, "Incorrect syntax near '" + Narrow(sql.substr(0, sql.find(L' '))) + "'.");
}

// --- Fetching ---

SQLRETURN StoreText(Statement& statement, const ColumnBinding& column, const void* data, size_t bytes,
                    size_t unitBytes) {
    if (column.indicator != nullptr) *column.indicator = static_cast<SQLLEN>(bytes);
    const size_t room = column.bufferBytes > 0 ? static_cast<size_t>(column.bufferBytes) : 0;
    if (column.target != nullptr && room >= unitBytes) {
        const size_t copied = std::min(bytes, (room / unitBytes - 1) * unitBytes);
        std::memcpy(column.target, data, copied);
        std::memset(static_cast<char*>(column.target) + copied, 0, unitBytes);
    }
    if (bytes + unitBytes <= room) return SQL_SUCCESS;
    statement.AddRecord("01004", 0, statement.connection.driverPrefix + "String data, right truncation");
    return SQL_SUCCESS_WITH_INFO;
}

SQLRETURN Store(Statement& statement, const Value& value, const ColumnBinding& column) {
    if (value.isNull) {
        if (column.indicator == nullptr)
            return ServerError(statement, "22002", 0, "Indicator variable required but not supplied");
        *column.indicator = SQL_NULL_DATA;
        return SQL_SUCCESS;
    }
    const std::wstring text = value.isInteger ? std::to_wstring(value.integer) : value.text;
    switch (column.type) {
    case SQL_C_SLONG:
    case SQL_C_LONG:
        if (!value.isInteger)
            return ServerError(statement, "22018", 0, "Invalid character value for cast specification");
        *static_cast<SQLINTEGER*>(column.target) = value.integer;
        if (column.indicator != nullptr) *column.indicator = sizeof(SQLINTEGER);
        return SQL_SUCCESS;
    case SQL_C_WCHAR: return StoreText(statement, column, text.data(), text.size() * sizeof(wchar_t), sizeof(wchar_t));
    case SQL_C_CHAR: {
        const std::string narrow = Narrow(text);
        return StoreText(statement, column, narrow.data(), narrow.size(), 1);
    }
    default: return ServerError(statement, "07006", 0, "Restricted data type attribute violation");
    }
}

SQLRETURN Fetch(Statement& statement) {
    if (!statement.cursorOpen) {
        statement.AddRecord("HY010", 0, std::string(kDriverManager) + "Function sequence error");
        return SQL_ERROR;
    }
    if (statement.nextRow >= statement.rows.size()) return SQL_NO_DATA;
    const Value& value = statement.rows[statement.nextRow++];
    SQLRETURN result = SQL_SUCCESS;
    for (const auto& [number, column] : statement.columns) {
        if (number != 1) return ServerError(statement, "07009", 0, "Invalid Descriptor Index");
        const SQLRETURN stored = Store(statement, value, column);
        if (stored == SQL_ERROR) return stored;
        if (stored == SQL_SUCCESS_WITH_INFO) result = stored;
    }
    return result;
}

// Runs one call under the lock; nothing thrown leaves the DLL.
template <class Call>
SQLRETURN Guarded(Call call) {
    try {
        const std::lock_guard<std::mutex> guard(CallLock());
        return call();
    } catch (...) {
        return SQL_ERROR;
    }
}

SQLRETURN AllocateConnection(SQLHANDLE input, SQLHANDLE* output) {
    Environment* environment = Find<Environment>(input, SQL_HANDLE_ENV);
    if (environment == nullptr) return SQL_INVALID_HANDLE;
    environment->diagnostics.clear();
    if (environment->version == 0) {
        environment->AddRecord("HY010", 0, std::string(kDriverManager) + "Function sequence error");
        return SQL_ERROR;
    }
    *output = NewHandle<Connection>(*environment);
    ++environment->connections;
    return SQL_SUCCESS;
}

SQLRETURN AllocateStatement(SQLHANDLE input, SQLHANDLE* output) {
    Connection* connection = Find<Connection>(input, SQL_HANDLE_DBC);
    if (connection == nullptr) return SQL_INVALID_HANDLE;
    connection->diagnostics.clear();
    if (!connection->connected) {
        connection->AddRecord("08003", 0, std::string(kDriverManager) + "Connection not open");
        return SQL_ERROR;
    }
    Statement* statement = NewHandle<Statement>(*connection);
    connection->statements.insert(statement);
    *output = statement;
    return SQL_SUCCESS;
}

SQLRETURN FreeEnvironment(SQLHANDLE handle) {
    Environment* environment = Find<Environment>(handle, SQL_HANDLE_ENV);
    if (environment == nullptr) return SQL_INVALID_HANDLE;
    environment->diagnostics.clear();
    if (environment->connections > 0) {
        RecordSeen(L"free env refused");
        environment->AddRecord("HY010", 0, std::string(kDriverManager) + "Function sequence error");
        return SQL_ERROR;
    }
    RecordSeen(L"free env");
    DeleteHandle(environment);
    return SQL_SUCCESS;
}

SQLRETURN FreeConnection(SQLHANDLE handle) {
    Connection* connection = Find<Connection>(handle, SQL_HANDLE_DBC);
    if (connection == nullptr) return SQL_INVALID_HANDLE;
    connection->diagnostics.clear();
    if (connection->connected) {
        RecordSeen(L"free dbc refused");
        connection->AddRecord("HY010", 0, std::string(kDriverManager) + "Function sequence error");
        return SQL_ERROR;
    }
    RecordSeen(L"free dbc");
    --connection->environment.connections;
    DeleteHandle(connection);
    return SQL_SUCCESS;
}

SQLRETURN FreeStatement(SQLHANDLE handle) {
    Statement* statement = Find<Statement>(handle, SQL_HANDLE_STMT);
    if (statement == nullptr) return SQL_INVALID_HANDLE;
    RecordSeen(L"free stmt");
    statement->connection.statements.erase(statement);
    DeleteHandle(statement);
    return SQL_SUCCESS;
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
    return Guarded([&]() -> SQLRETURN {
        if (output == nullptr) return SQL_ERROR;
        *output = SQL_NULL_HANDLE;
        switch (type) {
        case SQL_HANDLE_ENV: *output = NewHandle<Environment>(); return SQL_SUCCESS;
        case SQL_HANDLE_DBC: return AllocateConnection(input, output);
        case SQL_HANDLE_STMT: return AllocateStatement(input, output);
        default: return SQL_ERROR;
        }
    });
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
    return Guarded([&]() -> SQLRETURN {
        switch (type) {
        case SQL_HANDLE_ENV: return FreeEnvironment(handle);
        case SQL_HANDLE_DBC: return FreeConnection(handle);
        case SQL_HANDLE_STMT: return FreeStatement(handle);
        default: return SQL_INVALID_HANDLE;
        }
    });
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER) {
    return Guarded([&]() -> SQLRETURN {
        Environment* environment = Find<Environment>(handle, SQL_HANDLE_ENV);
        if (environment == nullptr) return SQL_INVALID_HANDLE;
        environment->diagnostics.clear();
        if (attribute != SQL_ATTR_ODBC_VERSION) return SQL_SUCCESS;
        const auto version = static_cast<SQLUINTEGER>(reinterpret_cast<ULONG_PTR>(value));
        RecordSeen(L"env version " + std::to_wstring(version));
        if (version != SQL_OV_ODBC2 && version != SQL_OV_ODBC3 && version != 380) {
            environment->AddRecord("HY024", 0, std::string(kDriverManager) + "Invalid attribute value");
            return SQL_ERROR;
        }
        environment->version = version;
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length) {
    return Guarded([&]() -> SQLRETURN {
        Connection* connection = Find<Connection>(handle, SQL_HANDLE_DBC);
        if (connection == nullptr) return SQL_INVALID_HANDLE;
        connection->diagnostics.clear();
        if (attribute == SQL_ATTR_LOGIN_TIMEOUT)
            RecordSeen(L"login timeout " + std::to_wstring(reinterpret_cast<ULONG_PTR>(value)) +
                       (length == SQL_IS_UINTEGER ? L"" : L" (length " + std::to_wstring(length) + L")"));
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC handle, SQLHWND, SQLWCHAR* in, SQLSMALLINT inLength, SQLWCHAR* out,
                                    SQLSMALLINT outUnits, SQLSMALLINT* outLength, SQLUSMALLINT completion) {
    return Guarded([&]() -> SQLRETURN {
        Connection* connection = Find<Connection>(handle, SQL_HANDLE_DBC);
        if (connection == nullptr) return SQL_INVALID_HANDLE;
        connection->diagnostics.clear();
        if (connection->connected) {
            connection->AddRecord("08002", 0, std::string(kDriverManager) + "Connection name in use");
            return SQL_ERROR;
        }
        const std::wstring text = Text(in, inLength);
        RecordSeen(L"connect " + text +
                   (completion == SQL_DRIVER_NOPROMPT ? L"" : L" (completion " + std::to_wstring(completion) + L")"));
        const SQLRETURN result = Connect(*connection, text);
        if (SQL_SUCCEEDED(result)) {
            if (outLength != nullptr) *outLength = static_cast<SQLSMALLINT>(text.size());
            if (out != nullptr && outUnits > 0) {
                const size_t units = std::min(text.size(), static_cast<size_t>(outUnits - 1));
                std::memcpy(out, text.data(), units * sizeof(wchar_t));
                reinterpret_cast<wchar_t*>(out)[units] = L'\0';
            }
        }
        return result;
    });
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC handle) {
    return Guarded([&]() -> SQLRETURN {
        Connection* connection = Find<Connection>(handle, SQL_HANDLE_DBC);
        if (connection == nullptr) return SQL_INVALID_HANDLE;
        connection->diagnostics.clear();
        if (!connection->connected) {
            connection->AddRecord("08003", 0, std::string(kDriverManager) + "Connection not open");
            return SQL_ERROR;
        }
        RecordSeen(L"disconnect");
        // As the driver manager does, disconnecting frees the connection's
        // statements.
        for (Statement* statement : connection->statements) DeleteHandle(statement);
        connection->statements.clear();
        connection->connected = false;
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT handle, SQLUSMALLINT number, SQLSMALLINT type, SQLPOINTER target,
                             SQLLEN bufferBytes, SQLLEN* indicator) {
    return Guarded([&]() -> SQLRETURN {
        Statement* statement = Find<Statement>(handle, SQL_HANDLE_STMT);
        if (statement == nullptr) return SQL_INVALID_HANDLE;
        statement->diagnostics.clear();
        if (number == 0) return ServerError(*statement, "07009", 0, "Invalid Descriptor Index");
        if (target == nullptr)
            statement->columns.erase(number);
        else
            statement->columns[number] = {type, target, bufferBytes, indicator};
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLBindParameter(SQLHSTMT handle, SQLUSMALLINT number, SQLSMALLINT direction, SQLSMALLINT valueType,
                                   SQLSMALLINT sqlType, SQLULEN columnSize, SQLSMALLINT, SQLPOINTER value,
                                   SQLLEN bufferBytes, SQLLEN* indicator) {
    return Guarded([&]() -> SQLRETURN {
        Statement* statement = Find<Statement>(handle, SQL_HANDLE_STMT);
        if (statement == nullptr) return SQL_INVALID_HANDLE;
        statement->diagnostics.clear();
        if (number == 0) return ServerError(*statement, "07009", 0, "Invalid Descriptor Index");
        if (direction != SQL_PARAM_INPUT) return ServerError(*statement, "HY105", 0, "Invalid parameter type");
        RecordSeen(L"bind ?" + std::to_wstring(number) + L" c type " + std::to_wstring(valueType) + L" sql type " +
                   std::to_wstring(sqlType) + L" size " + std::to_wstring(columnSize) + L" buffer " +
                   std::to_wstring(bufferBytes));
        statement->parameters[number] = {valueType, sqlType, columnSize, value, bufferBytes, indicator};
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT handle, SQLWCHAR* text, SQLINTEGER length) {
    return Guarded([&]() -> SQLRETURN {
        Statement* statement = Find<Statement>(handle, SQL_HANDLE_STMT);
        if (statement == nullptr) return SQL_INVALID_HANDLE;
        statement->diagnostics.clear();
        return Execute(*statement, Text(text, length));
    });
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT handle) {
    return Guarded([&]() -> SQLRETURN {
        Statement* statement = Find<Statement>(handle, SQL_HANDLE_STMT);
        if (statement == nullptr) return SQL_INVALID_HANDLE;
        statement->diagnostics.clear();
        return Fetch(*statement);
    });
}

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number, SQLCHAR* state,
                                SQLINTEGER* native, SQLCHAR* message, SQLSMALLINT bufferLength,
                                SQLSMALLINT* textLength) {
    return Guarded([&]() -> SQLRETURN {
        Handle* found = FindHandle(handle, type);
        if (found == nullptr) return SQL_INVALID_HANDLE;
        if (number <= 0 || bufferLength < 0) return SQL_ERROR;
        if (static_cast<size_t>(number) > found->diagnostics.size()) return SQL_NO_DATA;
        const DiagnosticRecord& record = found->diagnostics[static_cast<size_t>(number) - 1];
        if (state != nullptr) {
            std::memset(state, 0, 6);
            std::memcpy(state, record.state.data(), std::min<size_t>(record.state.size(), 5));
        }
        if (native != nullptr) *native = record.native;
        if (textLength != nullptr) *textLength = static_cast<SQLSMALLINT>(record.message.size());
        if (message != nullptr && bufferLength > 0) {
            const size_t copied = std::min(record.message.size(), static_cast<size_t>(bufferLength - 1));
            std::memcpy(message, record.message.data(), copied);
            message[copied] = 0;
        }
        return record.message.size() < static_cast<size_t>(bufferLength) ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
    });
}

}  // extern "C"
