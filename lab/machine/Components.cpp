#include "ComponentPlan.h"

#include "LabError.h"

#include <algorithm>

namespace Lab {

const std::vector<ComponentEntry>& ComponentTable() {
    // Planting order of the bystanders; ours are planted one by one.
    static const std::vector<ComponentEntry> table = {
        {L"agent", false, SetupKind::Msi, AgentPlan},
        {L"server", false, SetupKind::Msi, ServerPlan},
        {L"relay", false, SetupKind::Msi, RelayPlan},
        {L"console", false, SetupKind::Msi, ConsolePlan},
        {L"cdt", false, SetupKind::InstallShield, DeployToolPlan},
        {L"generator", false, SetupKind::InstallShield, GeneratorPlan},
        {L"api", false, SetupKind::InstallShield, PlatformApiPlan},
        {L"loggingservice", false, SetupKind::Msi, LoggingServicePlan},
        {L"dlp", false, SetupKind::None, DlpPlan},
        {L"a2a", false, SetupKind::None, A2APlan},
        {L"sam", false, SetupKind::Msi, AssetManagementPlan},
        {L"msde", false, SetupKind::Msi, DesktopEnginePlan},
        {L"user", false, SetupKind::None, UserTracesPlan},
        {L"kestrel", true, SetupKind::Msi, KestrelPlan},
        {L"companion", true, SetupKind::InstallShield, CompanionPlan},
        {L"lowercase", true, SetupKind::InstallShield, LowerCaseNamePlan},
        {L"lookalikes", true, SetupKind::None, LookAlikesPlan},
    };
    return table;
}

const ComponentEntry& FindComponent(const std::wstring& name) {
    const auto& table = ComponentTable();
    const auto found = std::find_if(table.begin(), table.end(), [&](const auto& e) { return e.name == name; });
    if (found == table.end()) throw Error(L"the lab knows no component \"" + name + L"\"");
    return *found;
}

std::vector<std::wstring> ComponentNames() {
    std::vector<std::wstring> names;
    for (const auto& entry : ComponentTable()) {
        if (!entry.bystander) names.push_back(entry.name);
    }
    return names;
}

std::vector<std::wstring> Editions(const std::wstring& component) {
    return FindComponent(component).plan(PlantOptions{}).editions;
}

SetupKind ResolveSetup(const ComponentEntry& entry, SetupKind requested) {
    return requested == SetupKind::Usual ? entry.defaultSetup : requested;
}

std::wstring ChooseEdition(const std::vector<std::wstring>& editions, const PlantOptions& options) {
    if (!options.edition.empty()) return options.edition;
    return editions.empty() ? std::wstring() : editions.front();
}

}  // namespace Lab
