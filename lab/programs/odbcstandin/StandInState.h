#pragma once
// What the stand-in's SQL Server holds, read from and written to the
// registry (64-bit view) so that a test can set it up and check it, also
// across processes:
//
// HKLM\SOFTWARE\ORVLab\SQLServerStandIn
//   Seen                      REG_MULTI_SZ, every call worth checking, in
//                             order ("connect <string>", "exec <sql>", ...)
//   Instances\<instance>      MSSQLSERVER (server ".") or SQLEXPRESS
//                             (server "localhost\SQLEXPRESS"); reachable
//                             while its service runs
//     LoginFails              DWORD, not 0: logins fail (state 28000)
//     Databases\<name>        the database exists
//       Version               REG_SZ: DBINFO holds one row with this text;
//                             REG_NONE: one row holding NULL; missing: no row
//       DropFails             DWORD, not 0: another client holds it open
//   Failures\<step>           a failure planted on a step: "connect", or an
//                             exact SQL text
//     Return                  DWORD, the SQLRETURN to give (default -1)
//     Records                 REG_MULTI_SZ, "state|native error|message"
//
// tests/support/SqlServerStandIn.h writes this layout.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace StandIn {

struct PlantedRecord {
    std::string state;
    long native = 0;
    std::string message;
};

struct PlantedFailure {
    short result = -1;
    std::vector<PlantedRecord> records;
};

// The value of DBINFO's Version column, if the table holds a row.
struct VersionRow {
    bool isNull = false;
    std::wstring text;
};

struct Database {
    bool dropFails = false;
    std::optional<VersionRow> versionRow;
};

void RecordSeen(const std::wstring& entry);

std::optional<PlantedFailure> PlantedFailureFor(const std::wstring& step);

// The instance's service runs.
bool InstanceRunning(const std::wstring& instance);
bool LoginFails(const std::wstring& instance);
// The SQL Server Native Client 11.0 driver is registered (32-bit view, as
// a 32-bit program's driver manager sees it).
bool NativeClientRegistered();

bool IsSystemDatabase(const std::wstring& name);
// System databases exist always and hold no DBINFO.
std::optional<Database> FindDatabase(const std::wstring& instance, const std::wstring& name);
void DeleteDatabase(const std::wstring& instance, const std::wstring& name);

std::string Narrow(const std::wstring& text);

}  // namespace StandIn
