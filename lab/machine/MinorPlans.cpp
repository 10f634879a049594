// Software asset management and the Microsoft desktop engine: Windows
// Installer products that the remover knows by their Uninstall entries.

#include "MachinePaths.h"
#include "PlanParts.h"

namespace Lab {

ComponentPlan AssetManagementPlan(const PlantOptions& options) {
    RefuseInstallShield(options, L"sam");
    ComponentPlan plan;
    plan.name = L"sam";
    plan.editions = {L"Software Asset Management"};
    plan.edition = ChooseEdition(plan.editions, options);
    UsePackage(plan, Packages::kAssetManagement);
    plan.installDir = SuiteFolder() + L"\\ORV Inventory";
    plan.mainProgram = plan.installDir + L"\\ORVInventory.exe";
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram)};
    // Spelled with "Software" in mixed case, as its setup writes it.
    plan.keys = {{Hklm32(L"Software\\Orvalis\\Orvalis Inventory"),
                  {TextValue(L"InstallDir", plan.installDir), NumberValue(L"ScanInterval", 24)}}};
    plan.resetKeys = {Hklm32(L"SOFTWARE\\Orvalis"), Hklm32(L"SOFTWARE\\Orvalis, Inc.")};
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

ComponentPlan DesktopEnginePlan(const PlantOptions& options) {
    RefuseInstallShield(options, L"msde");
    ComponentPlan plan;
    plan.name = L"msde";
    plan.editions = {L"Microsoft SQL Server Desktop Engine"};
    plan.edition = ChooseEdition(plan.editions, options);
    plan.publisher = L"Microsoft Corporation";
    UsePackage(plan, Packages::kDesktopEngine);
    const std::wstring vendor = ProgramFilesX86() + L"\\Microsoft SQL Server";
    plan.installDir = vendor + L"\\MSSQL\\Binn";
    plan.mainProgram = plan.installDir + L"\\sqlservr.exe";
    // The folders above the engine's own are Microsoft's, shared by every
    // SQL Server part, and stay when Windows Installer takes the engine off.
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram)};
    plan.resetFolders = {vendor};
    return plan;
}

}  // namespace Lab
