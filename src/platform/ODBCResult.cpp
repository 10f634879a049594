#include "platform/ODBCResult.h"

#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/Text.h"

#include <climits>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr SQLSMALLINT kMessageBufferBytes = 8192;
const char kNetworkErrorText[] = "General network error. Check your network documentation.";
const char kDeadlockDetail[] = "A database transaction encountered a deadlock and has been terminated.";
const char kNothingReturnedDetail[] = "A database query unexpectedly failed to return any results.";

enum class Failure {
    Generic,
    Connection,
    DatabaseDoesNotExist,
    DatabaseDirectoryDoesNotExist,
    TimeOut,
    Deadlock,
    Restoring,
    InvalidObject,
};

// Applies the rules in their order; a later rule that matches overrides an
// earlier one, and a record that matches none keeps the current kind.
Failure Classify(Failure current, std::string_view state, SQLINTEGER native, std::string_view message) {
    if (state == "08001" || state == "08S01") current = Failure::Connection;
    if (state == "S1T00") current = Failure::TimeOut;
    if (state == "37000" && native == 4060) current = Failure::Connection;
    if ((state == "08004" && native == -30061) || (state == "08001" && native == -1013))
        current = Failure::DatabaseDoesNotExist;
    if (state == "58031" && native == -1031) current = Failure::DatabaseDirectoryDoesNotExist;
    if (state == "01000" && native == 10054) current = Failure::Connection;
    if (state == "40001") current = Failure::Deadlock;
    if (native == 922)
        current = Failure::Restoring;
    else if (native == 208)
        current = Failure::InvalidObject;
    else if (native == -30081)
        current = Failure::Connection;
    if (message.find(kNetworkErrorText) != std::string_view::npos) current = Failure::Connection;
    return current;
}

struct Diagnostics {
    Failure failure = Failure::Generic;
    std::string text;
};

// Reads every diagnostic record of the handle, classifying each in turn.
Diagnostics ReadDiagnostics(SQLHANDLE handle, SQLSMALLINT handleType) {
    Diagnostics diagnostics;
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    std::vector<SQLCHAR> message(kMessageBufferBytes, 0);
    SQLSMALLINT record = 1;
    SQLRETURN result =
        SQLGetDiagRec(handleType, handle, record, state, &native, message.data(), kMessageBufferBytes, nullptr);
    if (result == SQL_NO_DATA) return diagnostics;
    while (state[0] != 0 && result != SQL_ERROR && result != SQL_INVALID_HANDLE) {
        const std::string_view stateText(reinterpret_cast<const char*>(state), strnlen(reinterpret_cast<const char*>(state), 5));
        const std::string ansiMessage(reinterpret_cast<const char*>(message.data()),
                                      strnlen(reinterpret_cast<const char*>(message.data()), message.size()));
        diagnostics.failure = Classify(diagnostics.failure, stateText, native, ansiMessage);
        if (record > 1) diagnostics.text = Format("{msg}{_lf}", diagnostics.text);
        diagnostics.text += Format("{message} ({state}: {error})", AnsiToUtf8(ansiMessage), std::string(stateText),
                                   std::to_string(native))
                                .Text();
        if (record == SHRT_MAX) break;
        result = SQLGetDiagRec(handleType, handle, ++record, state, &native, message.data(), kMessageBufferBytes,
                               nullptr);
        if (result == SQL_NO_DATA) break;
    }
    return diagnostics;
}

[[noreturn]] void ThrowClassified(const Diagnostics& diagnostics) {
    const std::string message = DatabaseErrorMessage(diagnostics.text);
    switch (diagnostics.failure) {
    case Failure::Connection: throw DatabaseConnectionError(message);
    case Failure::DatabaseDoesNotExist: throw DB2DatabaseDoesNotExist(message);
    case Failure::DatabaseDirectoryDoesNotExist: throw DB2DatabaseDirectoryDoesNotExist(message);
    case Failure::TimeOut: throw DatabaseTimeoutExpiredError(message);
    case Failure::Deadlock:
        throw DatabaseDeadlockException(DatabaseErrorMessage(diagnostics.text.empty() ? kDeadlockDetail
                                                                                      : diagnostics.text));
    case Failure::Restoring: throw DatabaseRestoringError(message);
    case Failure::InvalidObject: throw InvalidObjectError(message);
    case Failure::Generic: break;
    }
    throw ODBCException(message);
}

}  // namespace

std::string DatabaseErrorMessage(const std::string& detail) { return "Database Error: " + detail; }

NothingReturnedFromQuery NothingReturnedError() {
    return NothingReturnedFromQuery(DatabaseErrorMessage(kNothingReturnedDetail));
}

void CheckODBCResult(SQLRETURN result, SQLHANDLE handle, SQLSMALLINT handleType) {
    switch (result) {
    case SQL_SUCCESS: return;
    case SQL_SUCCESS_WITH_INFO:
        // Informational records (a changed database context, for one) are
        // read so the handle is left as after any checked call, not reported.
        ReadDiagnostics(handle, handleType);
        return;
    case SQL_ERROR: ThrowClassified(ReadDiagnostics(handle, handleType));
    case SQL_STILL_EXECUTING: throw ODBCException(DatabaseErrorMessage("Still Executing"));
    case SQL_NEED_DATA: throw ODBCException(DatabaseErrorMessage("Need Data"));
    case SQL_NO_DATA: throw ODBCException(DatabaseErrorMessage("No Data"));
    case SQL_INVALID_HANDLE: throw ODBCException(DatabaseErrorMessage("Invalid Handle"));
    default: throw ODBCException(DatabaseErrorMessage("Unknown ODBC Error"));
    }
}
