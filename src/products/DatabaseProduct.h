#pragma once
// The supporting databases: the server database "DUDozoravare" and the
// reporting database "ORVReporting" on the local SQL Server (default
// instance or SQLEXPRESS), reached with Windows authentication, and the
// ODBC data sources that point at them.

#include "products/ORVProduct.h"
#include "platform/ODBCConnection.h"
#include "sysops/Registry.h"

#include <optional>
#include <string>

class DatabaseProduct : public ORVProduct {
public:
    explicit DatabaseProduct(Remove::Log& log);

    std::wstring Name() const override;
    std::optional<std::wstring> Version() const override;
    void Detect() override;
    bool Remove() override;

    // The steps of Detect and Remove. Each writes its own log text and
    // catches every exception; none throws.

    // A connection to the running instance; none when no instance runs or
    // connecting failed (which also sets connectionFailed).
    std::optional<ODBCConnection> Connect();
    // False also when the test itself failed.
    bool DatabaseExists(const ODBCConnection& connection, const std::wstring& name);
    std::optional<std::wstring> ReadDatabaseVersion(const ODBCConnection& connection);
    bool DropDatabase(const ODBCConnection& connection, const std::wstring& name);
    // Removes the data source through the ODBC installer, then its keys.
    bool RemoveDSN(const std::wstring& name);
    // Deletes the data source's key and its "ODBC Data Sources" value in the
    // view (the 64-bit one; a plan also names those of the program's view,
    // which the ODBC installer removes).
    bool RemoveDSNRegistryEntries(const std::wstring& name, RegistryView view = RegistryView::Native64);

    // Once a connection attempt has thrown, no further one is made.
    bool connectionFailed = false;

private:
    std::optional<ODBCConnection> ConnectUnlessFailedBefore();
    void WriteError();

    std::optional<std::wstring> version;
};
