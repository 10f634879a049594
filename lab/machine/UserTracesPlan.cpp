// The suite's per-user traces: HKEY_USERS\<hive>\Software\Orvalis in every
// loaded hive and the user's Local AppData\Orvalis.

#include "MachinePaths.h"
#include "PlanParts.h"

namespace Lab {

ComponentPlan UserTracesPlan(const PlantOptions&) {
    ComponentPlan plan;
    plan.name = L"user";
    const std::wstring data = LocalAppData() + L"\\Orvalis";
    plan.leftFolders = {data};
    plan.files = {TextFile(data + L"\\ORV Client\\state.dat", "state\r\n"),
                  TextFile(data + L"\\ORV Console\\layout.xml", "<layout/>\r\n", true)};
    for (const auto& hive : UserHives()) {
        const std::wstring root = hive + L"\\Software\\Orvalis";
        plan.keys.push_back({Hku(root + L"\\ORV Client"), {TextValue(L"LastServer", L"orv-server")}, false});
        plan.keys.push_back({Hku(root + L"\\ORV Console\\Settings"), {NumberValue(L"WindowWidth", 1024)}, false});
        plan.resetKeys.push_back(Hku(root));
    }
    plan.resetFolders = {data};
    return plan;
}

}  // namespace Lab
