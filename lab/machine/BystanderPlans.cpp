// Bystanders: things that are not the suite's and must survive every
// removal. Another vendor's product, and look-alikes of the suite: names
// that contain or begin like the suite's, and the suite's own names in the
// 64-bit registry view and the 64-bit Program Files folder, which the
// 32-bit remover never sees.

#include "MachinePaths.h"
#include "PlanParts.h"

namespace Lab {
namespace {

void PerUserKeys(ComponentPlan& plan, const std::wstring& vendorKey, const std::wstring& subkey) {
    for (const auto& hive : UserHives()) {
        plan.keys.push_back({Hku(hive + L"\\Software\\" + vendorKey + L"\\" + subkey),
                             {TextValue(L"Owner", plan.edition)}, false});
        plan.resetKeys.push_back(Hku(hive + L"\\Software\\" + vendorKey));
    }
}

// An Uninstall entry of the lab setup in bystander mode: running it only
// writes a line to the setup-run log.
ComponentPlan LookAlikeEntry(const std::wstring& name, const std::wstring& edition, const wchar_t* productCode,
                             const wchar_t* upgradeCode) {
    ComponentPlan plan;
    plan.name = name;
    plan.bystander = true;
    plan.editions = {edition};
    plan.edition = edition;
    plan.publisher = L"Orvalis Community";
    plan.version = L"1.0";
    plan.productCode = productCode;
    plan.upgradeCode = upgradeCode;
    plan.componentCode = upgradeCode;
    plan.setupRole = L"bystander";
    return plan;
}

}  // namespace

ComponentPlan KestrelPlan(const PlantOptions&) {
    ComponentPlan plan;
    plan.name = L"kestrel";
    plan.bystander = true;
    plan.editions = {Packages::kKestrel.productName};
    plan.edition = plan.editions.front();
    plan.publisher = L"Kestrel Software";
    UsePackage(plan, Packages::kKestrel);
    const std::wstring vendor = ProgramFilesX86() + L"\\Kestrel";
    plan.installDir = vendor + L"\\Backup Agent";
    plan.mainProgram = plan.installDir + L"\\kbagent.exe";
    plan.appPaths = true;
    plan.folders = {vendor};
    plan.files = {ProductProgram(plan.mainProgram),
                  TextFile(plan.installDir + L"\\Data\\catalog.db", "catalog\r\n", true),
                  TextFile(LocalAppData() + L"\\Kestrel\\Backup Agent\\jobs.xml", "<jobs/>\r\n")};
    plan.leftFolders = {LocalAppData() + L"\\Kestrel"};
    plan.services = {{L"KestrelBackup", plan.mainProgram, L""}};
    plan.keys = {{Hklm32(L"SOFTWARE\\Kestrel\\Backup Agent"), {TextValue(L"InstallDir", plan.installDir)}, false},
                 ControlSet002Copy(L"KestrelBackup", Quoted(plan.mainProgram))};
    PerUserKeys(plan, L"Kestrel", L"Backup Agent");
    plan.resetKeys.push_back(Hklm32(L"SOFTWARE\\Kestrel"));
    return plan;
}

ComponentPlan CompanionPlan(const PlantOptions&) {
    ComponentPlan plan = LookAlikeEntry(L"companion", L"Stennet Orvalis Client Companion",
                                        L"{15027B60-1E22-4BAE-A779-5D28D63255E6}",
                                        L"{3C187923-ABED-4DBB-A7B8-D2B3F11869E6}");
    plan.installDir = ProgramFilesX86() + L"\\Orvalis Enterprise Tools\\Client Companion";
    plan.mainProgram = plan.installDir + L"\\Companion.exe";
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram)};
    return plan;
}

ComponentPlan LowerCaseNamePlan(const PlantOptions&) {
    return LookAlikeEntry(L"lowercase", L"stennet orvalis client", L"{FF85A4B4-C555-4AB5-B243-C48B00EA36C1}",
                          L"{B2CC1158-9DE5-460E-9718-E6650CBAFCE0}");
}

ComponentPlan LookAlikesPlan(const PlantOptions&) {
    ComponentPlan plan;
    plan.name = L"lookalikes";
    plan.bystander = true;
    plan.edition = L"Orvalis look-alikes";
    const std::wstring tools = ProgramFilesX86() + L"\\Orvalis Enterprise Tools";
    const std::wstring suite64 = ProgramFiles64() + L"\\Orvalis Enterprise";
    plan.leftFolders = {tools, suite64, LocalAppData() + L"\\OrvalisTools"};
    plan.files = {TextFile(tools + L"\\readme.txt", "Community tools\r\n", true),
                  ProductProgram(tools + L"\\ORVClientMonitor.exe"),
                  ProductProgram(suite64 + L"\\ORV Client\\ORVClient.exe"),
                  TextFile(LocalAppData() + L"\\OrvalisTools\\tools.ini", "[Tools]\r\n")};
    plan.services = {{L"ORVClientMonitor", tools + L"\\ORVClientMonitor.exe", L""}};
    plan.keys = {
        {Hklm32(L"SOFTWARE\\OrvalisTools"), {TextValue(L"Owner", L"community")}, false},
        {Hklm32(L"SOFTWARE\\Orvalis, Inc. Archive"), {TextValue(L"Owner", L"archive")}, false},
        {Hklm64(L"SOFTWARE\\Orvalis\\EnterpriseClient"), {TextValue(L"View", L"64-bit")}, false},
        {Hklm64(L"SOFTWARE\\Orvalis, Inc.\\Orvalis Enterprise Client"), {TextValue(L"View", L"64-bit")}, false},
        {Hklm64(L"SOFTWARE\\Orvalis\\Enterprise Server"), {TextValue(L"RelayVersion", L"64-bit")}, false},
        ControlSet002Copy(L"ORVClientMonitor", Quoted(tools + L"\\ORVClientMonitor.exe")),
    };
    PerUserKeys(plan, L"OrvalisTools", L"Settings");
    plan.resetKeys.push_back(Hklm64(L"SOFTWARE\\Orvalis"));
    plan.resetKeys.push_back(Hklm64(L"SOFTWARE\\Orvalis, Inc."));
    plan.resetFolders = plan.leftFolders;
    return plan;
}

}  // namespace Lab
