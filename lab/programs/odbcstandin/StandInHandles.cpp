#include "StandInHandles.h"

#include <cstring>

namespace StandIn {

namespace {

std::set<Handle*>& LiveHandles() {
    static std::set<Handle*> handles;
    return handles;
}

// States that ODBC 2 names differently.
const char* Odbc2State(const char* state) {
    static const std::pair<const char*, const char*> kRenamed[] = {
        {"42000", "37000"}, {"42S02", "S0002"}, {"HY010", "S1010"}, {"HYT00", "S1T00"},
        {"07009", "S1002"}, {"HY000", "S1000"}, {"HY024", "S1009"}, {"07002", "07001"},
        {"HY009", "S1009"}, {"HY092", "S1092"},
    };
    for (const auto& [odbc3, odbc2] : kRenamed)
        if (std::strcmp(state, odbc3) == 0) return odbc2;
    return state;
}

}  // namespace

void Handle::AddRecord(const char* odbc3State, SQLINTEGER native, const std::string& message) {
    const bool odbc2 = Owner().version == SQL_OV_ODBC2;
    diagnostics.push_back({odbc2 ? Odbc2State(odbc3State) : odbc3State, native, message});
}

void RegisterHandle(Handle* handle) { LiveHandles().insert(handle); }

void DeleteHandle(Handle* handle) {
    LiveHandles().erase(handle);
    delete handle;
}

Handle* FindHandle(SQLHANDLE handle, SQLSMALLINT type) {
    auto& live = LiveHandles();
    const auto found = live.find(static_cast<Handle*>(handle));
    if (found == live.end() || (*found)->type != type) return nullptr;
    return *found;
}

}  // namespace StandIn
