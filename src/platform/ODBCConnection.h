#pragma once
// A connection to a database through the ODBC driver manager, opened from a
// driver connection string at construction. Copies share the connection;
// the last copy disconnects and frees the connection handle, then the
// environment. Statements keep the connection handle (and the environment
// it was allocated in) alive themselves.

#include "platform/ODBCApi.h"
#include "platform/ReferenceCounterPL.h"
#include "platform/UniqueHandle.h"

#include <memory>
#include <string>

using AutoODBCEnvironmentHandle = WindowsPlatform::UniqueHandle<WindowsPlatform::ODBCEnvironmentTraits>;
using AutoODBCDatabaseHandle = WindowsPlatform::UniqueHandle<WindowsPlatform::ODBCConnectionTraits>;

class ODBCConnection : public ReferenceCounterPL {
public:
    // Declares an ODBC 2 environment, sets a 15-second login time-out and
    // connects without prompting. Throws an ODBCException on any failure.
    explicit ODBCConnection(const std::string& utf8ConnectionString);
    ODBCConnection(const ODBCConnection&) = default;
    ~ODBCConnection() override;

    SQLHDBC Handle() const noexcept { return connection_->Get(); }
    const std::shared_ptr<AutoODBCDatabaseHandle>& SharedHandle() const noexcept { return connection_; }
    const std::shared_ptr<AutoODBCEnvironmentHandle>& SharedEnvironment() const noexcept { return environment_; }

private:
    // Declared in this order so that, should the constructor throw, the
    // connection handle is still freed before the environment.
    std::shared_ptr<AutoODBCEnvironmentHandle> environment_;
    std::shared_ptr<AutoODBCDatabaseHandle> connection_;
};
