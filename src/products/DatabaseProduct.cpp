#include "products/DatabaseProduct.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/ODBCResult.h"
#include "platform/ODBCStatement.h"
#include "platform/Text.h"
#include "sysops/ActionPlan.h"
#include "sysops/Registry.h"
#include "sysops/RegistryExport.h"
#include "sysops/Services.h"

#include <algorithm>

using WindowsPlatform::UniqueRegistryKey;

namespace {

const wchar_t kDisplayName[] = L"Supporting Databases";
const wchar_t kServerDatabase[] = L"DUDozoravare";
const wchar_t kReportingDatabase[] = L"ORVReporting";

// The server services that keep the databases open.
const wchar_t* const kServerServices[] = {L"IntakeDB", L"HarvestDB", L"ORVWebReportsServer", L"ORVRootServer"};
// Removed only once the server database has been dropped.
const wchar_t* const kServerDatabaseDSNs[] = {L"orv_dudozoravare", L"orv_EnterpriseServer"};
const wchar_t* const kOtherDSNs[] = {L"localorvreportingserver", L"enterprise_setup", L"enterprise_setup32"};

const wchar_t kDefaultInstanceService[] = L"MSSQLSERVER";
const wchar_t kExpressInstanceService[] = L"MSSQL$SQLEXPRESS";
const char kDefaultInstanceServer[] = ".";
const char kExpressInstanceServer[] = "localhost\\SQLEXPRESS";

const wchar_t kNativeClientKey[] = L"SOFTWARE\\ODBC\\ODBCINST.INI\\SQL Server Native Client 11.0";
const char kNativeClientDriver[] = "Driver={SQL Server Native Client 11.0}";
const char kPlainDriver[] = "Driver=SQL Server";

const wchar_t kDataSourcesKey[] = L"SOFTWARE\\ODBC\\ODBC.INI\\";
const wchar_t kDataSourceListKey[] = L"SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources\\";
// The data sources that matter are those of the 64-bit view, where the
// server's 64-bit programs find them; every key below is opened there too.
constexpr RegistryView kDataSourceView = RegistryView::Native64;

const char kUseMaster[] = "use master";
const char kUseServerDatabase[] = "use DUDozoravare";
const char kExistenceQuery[] = "select case when exists ( select * from sysdatabases where name = ? ) then 1 else 0 end";
const char kVersionQuery[] = "select Version from DBINFO";
const char kDropDatabase[] = "drop database ";

constexpr size_t kVersionUnits = 64;

void WriteLine(Remove::Log& log, const std::wstring& text) {
    log.Write(text);
    log.EndLine();
}

// True when the SQL Server Native Client 11.0 driver is registered.
bool NativeClientInstalled() {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNativeClientKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        return false;
    const LONG status = RegQueryValueExW(key.Get(), L"Driver", nullptr, nullptr, nullptr, nullptr);
    return status == ERROR_SUCCESS || status == ERROR_MORE_DATA;
}

// Opens a data-source key; an empty key when it does not exist, for then
// there is nothing under it to remove. Other failures throw.
UniqueRegistryKey OpenDataSourceKey(const wchar_t* path, RegistryView view) {
    UniqueRegistryKey key;
    const LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS | ViewFlag(view), key.Put());
    if (status == ERROR_FILE_NOT_FOUND) return {};
    ThrowIfError(status);
    return key;
}

bool HasValue(HKEY key, const std::wstring& name) {
    const LONG status = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    return status == ERROR_SUCCESS || status == ERROR_MORE_DATA;
}

// True when the data source has its key or its entry in the list, in either view.
bool DataSourceExists(const std::wstring& name) {
    for (const RegistryView view : {RegistryView::Program, kDataSourceView}) {
        try {
            const UniqueRegistryKey dataSources = OpenDataSourceKey(kDataSourcesKey, view);
            UniqueRegistryKey key;
            if (dataSources && RegOpenKeyExW(dataSources.Get(), name.c_str(), 0, KEY_READ | ViewFlag(view),
                                             key.Put()) == ERROR_SUCCESS)
                return true;
            const UniqueRegistryKey list = OpenDataSourceKey(kDataSourceListKey, view);
            if (list && HasValue(list.Get(), name)) return true;
        } catch (...) {
            return true;  // what cannot be looked at is planned as asked for
        }
    }
    return false;
}

// The version text of the fetched column: whole UTF-16 units as the
// indicator gives them in bytes, at most what the buffer holds.
std::wstring FetchedText(const wchar_t* buffer, SQLLEN indicator) {
    if (indicator == SQL_NULL_DATA) return {};
    if (indicator < 0) return std::wstring(buffer, std::find(buffer, buffer + kVersionUnits, L'\0'));
    const size_t units = std::min<size_t>(static_cast<size_t>(indicator) / sizeof(wchar_t), kVersionUnits);
    return std::wstring(buffer, units);
}

using RemoveDSNFromIni = BOOL(WINAPI*)(LPCWSTR);

// SQLRemoveDSNFromIniW of the ODBC installer in the system folder, loaded
// on first use and kept for the life of the process; null when the library
// or the function is missing.
RemoveDSNFromIni InstallerRemoveDSN() {
    static const RemoveDSNFromIni function = []() -> RemoveDSNFromIni {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        const HMODULE library = LoadLibraryW((std::wstring(folder, length) + L"\\odbccp32.dll").c_str());
        if (library == nullptr) return nullptr;
        return reinterpret_cast<RemoveDSNFromIni>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "SQLRemoveDSNFromIniW")));
    }();
    return function;
}

bool InstallerRemovesDSN(const std::wstring& name) {
    // Test seam: Wine's installer library reports every DSN as removed.
    if (WindowsPlatform::InjectedFault("SQLRemoveDSNFromIniW")) return false;
    const RemoveDSNFromIni function = InstallerRemoveDSN();
    return function != nullptr && function(name.c_str()) != FALSE;
}

}  // namespace

DatabaseProduct::DatabaseProduct(Remove::Log& log) : ORVProduct(log) {}

std::wstring DatabaseProduct::Name() const { return kDisplayName; }

std::optional<std::wstring> DatabaseProduct::Version() const { return version; }

void DatabaseProduct::WriteError() {
    log.Write(L"error encountered: ");
    log.WriteCurrentException();
    log.EndLine();
}

std::optional<ODBCConnection> DatabaseProduct::Connect() {
    const char* server = nullptr;
    if (IsServiceRunning(kDefaultInstanceService, log))
        server = kDefaultInstanceServer;
    else if (IsServiceRunning(kExpressInstanceService, log))
        server = kExpressInstanceServer;
    else
        return std::nullopt;

    log.Write(L"Trying to connect to a SQL server at localhost using NT authentication...");
    try {
        const std::string driver = NativeClientInstalled() ? kNativeClientDriver : kPlainDriver;
        return ODBCConnection(driver + ";Server=" + server + ";Trusted_Connection=Yes;");
    } catch (...) {
        // The description ends the open "Trying to connect" line.
        log.WriteCurrentException();
        log.EndLine();
        connectionFailed = true;
        return std::nullopt;
    }
}

std::optional<ODBCConnection> DatabaseProduct::ConnectUnlessFailedBefore() {
    if (connectionFailed) return std::nullopt;
    return Connect();
}

bool DatabaseProduct::DatabaseExists(const ODBCConnection& connection, const std::wstring& name) {
    log.Write(L"Checking for database [" + name + L"]...");
    try {
        ExecuteDirect(connection, kUseMaster);
        ODBCStatement statement(connection);
        SQLINTEGER exists = 0;
        ODBCStringParameter parameter;
        parameter.Bind(statement, 1, TranscodeU16ToU8(name));
        statement.Check(SQLBindCol(statement.Handle(), 1, SQL_C_SLONG, &exists, 0, nullptr));
        statement.Execute(kExistenceQuery);
        if (!statement.Fetch()) throw NothingReturnedError();
        WriteLine(log, exists != 0 ? L"database exists" : L"database does not exist");
        return exists != 0;
    } catch (...) {
        WriteError();
        return false;
    }
}

std::optional<std::wstring> DatabaseProduct::ReadDatabaseVersion(const ODBCConnection& connection) {
    log.Write(L"Trying to determine the version of the DUDozoravare database...");
    try {
        ExecuteDirect(connection, kUseServerDatabase);
        ODBCStatement statement(connection);
        wchar_t buffer[kVersionUnits + 1] = {};
        SQLLEN indicator = 0;
        statement.Check(SQLBindCol(statement.Handle(), 1, SQL_C_WCHAR, buffer, sizeof buffer, &indicator));
        statement.Execute(kVersionQuery);
        if (!statement.Fetch()) throw NothingReturnedError();
        const std::wstring found = FetchedText(buffer, indicator);
        WriteLine(log, L"found version '" + found + L"'");
        return found;
    } catch (...) {
        WriteError();
        return std::nullopt;
    }
}

bool DatabaseProduct::DropDatabase(const ODBCConnection& connection, const std::wstring& name) {
    if (!ActOrDescribe(PlannedAction{ActionKind::Database, name}, log)) return true;
    log.Write(L"Removing database \"" + name + L"\"...");
    try {
        ExecuteDirect(connection, kUseMaster);
        ExecuteDirect(connection, kDropDatabase + TranscodeU16ToU8(name));
        WriteLine(log, L"done");
        return true;
    } catch (...) {
        WriteError();
        return false;
    }
}

bool DatabaseProduct::RemoveDSN(const std::wstring& name) {
    // A plan names only the data sources that are there.
    if (Planning() && !DataSourceExists(name)) return true;
    if (!ActOrDescribe(PlannedAction{ActionKind::DataSource, name}, log)) {
        // The ODBC installer library removes in this program's view what the
        // program removes itself in the 64-bit view.
        RemoveDSNRegistryEntries(name, RegistryView::Program);
        RemoveDSNRegistryEntries(name, kDataSourceView);
        return true;
    }
    WriteLine(log, L"Removing DSN \"" + name + L"\"...");
    const bool removed = InstallerRemovesDSN(name) && RemoveDSNRegistryEntries(name, kDataSourceView);
    WriteLine(log, removed ? L"DSN Removed" : L"failed to delete DSN");
    return removed;
}

bool DatabaseProduct::RemoveDSNRegistryEntries(const std::wstring& name, RegistryView view) {
    try {
        const UniqueRegistryKey dataSources = OpenDataSourceKey(kDataSourcesKey, view);
        if (!dataSources) return true;
        const bool deleted = DeleteRegistryKey(dataSources.Get(), name, log, view);
        const UniqueRegistryKey list = OpenDataSourceKey(kDataSourceListKey, view);
        if (list && HasValue(list.Get(), name)) {
            PlannedAction action{ActionKind::RegistryValue};
            if (Planning()) action.target = KeyPlaceName(list.Get(), L"", view) + L":[" + name + L"]";
            action.root = list.Get();
            action.valueName = name;
            action.view = view;
            if (ActOrDescribe(action, log)) {
                const LONG removed = RegDeleteValueW(list.Get(), name.c_str());
                if (removed != ERROR_FILE_NOT_FOUND) ThrowIfError(removed);
            }
        }
        return deleted;
    } catch (...) {
        WriteError();
        return false;
    }
}

void DatabaseProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    const std::optional<ODBCConnection> connection = ConnectUnlessFailedBefore();
    installed = false;
    if (!connection) return;
    const bool serverDatabase = DatabaseExists(*connection, kServerDatabase);
    const bool reportingDatabase = DatabaseExists(*connection, kReportingDatabase);
    if (serverDatabase) version = ReadDatabaseVersion(*connection);
    installed = serverDatabase || reportingDatabase;
}

bool DatabaseProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    const std::optional<ODBCConnection> connection = ConnectUnlessFailedBefore();
    if (!connection) {
        WriteLine(log, L"Unable to connect to database.  It may have already been removed by the uninstaller.");
        return true;
    }
    for (const wchar_t* service : kServerServices) StopService(service, log);

    bool failed = false;
    if (DatabaseExists(*connection, kServerDatabase)) {
        if (DropDatabase(*connection, kServerDatabase)) {
            for (const wchar_t* dsn : kServerDatabaseDSNs) RemoveDSN(dsn);
        } else {
            failed = true;
        }
    }
    if (DatabaseExists(*connection, kReportingDatabase) && !DropDatabase(*connection, kReportingDatabase))
        failed = true;
    for (const wchar_t* dsn : kOtherDSNs) RemoveDSN(dsn);
    return !failed;
}
