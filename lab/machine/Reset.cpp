// Resetting the lab machine: everything the lab can plant is removed,
// whatever state a test left it in.

#include "InstallerRecords.h"
#include "LabFiles.h"
#include "LabProfiles.h"
#include "LabProcess.h"
#include "LabServices.h"
#include "MachinePaths.h"
#include "PlanSteps.h"
#include "PlantRecord.h"
#include "SetupManifest.h"

#include <algorithm>

namespace Lab {
namespace {

std::vector<ComponentPlan> PlansInScope(ResetScope scope) {
    PlantOptions everything;
    everything.helper = true;
    everything.webReports = true;
    std::vector<ComponentPlan> plans;
    for (const auto& entry : ComponentTable()) {
        if (scope == ResetScope::Everything || !entry.bystander) plans.push_back(entry.plan(everything));
    }
    return plans;
}

void RemoveServices(const ComponentPlan& plan) {
    for (const auto& service : plan.services) StopAndDeleteService(service.name, true);
    for (const auto& helper : plan.helpers) StopAndDeleteService(helper.service, true);
}

// Lets Windows Installer take back what its package installed, while it
// still knows the product.
void UninstallPackage(const ComponentPlan& plan) {
    if (plan.package.empty() || !KeyExists(ProductsRecord(plan.productCode))) return;
    RunAndWait(L"msiexec.exe /x " + plan.productCode + L" /qn");
}

void RemoveKeys(const ComponentPlan& plan) {
    for (const auto& key : plan.keys) DeleteTree(key.key);
    for (const auto& helper : plan.helpers) DeleteTree(helper.key);
    if (HasAppPaths(plan)) DeleteTree(AppPathsKey(plan));
    if (!plan.productCode.empty()) {
        DeleteTree(UninstallEntry(plan.productCode));
        for (const auto& key : InstallerRecordKeys(plan.productCode, plan.upgradeCode, plan.componentCode)) {
            DeleteTree(key);
        }
    }
    for (const auto& key : plan.resetKeys) DeleteTree(key);
}

void RemoveFolders(const ComponentPlan& plan) {
    for (const auto* list : {&plan.folders, &plan.leftFolders, &plan.resetFolders}) {
        for (const auto& folder : *list) DeleteFolderTree(folder);
    }
    for (const auto& file : plan.files) DeleteFileAt(file.path);
    if (!plan.productCode.empty()) DeleteFolderTree(ParentFolder(SetupProgramPath(plan)));
}

void ForgetPlanted(const std::vector<ComponentPlan>& plans) {
    auto entries = ReadPlantRecord();
    const auto inScope = [&](const PlantedEntry& e) {
        return std::any_of(plans.begin(), plans.end(), [&](const auto& p) { return p.name == e.component; });
    };
    for (const auto& entry : entries) {
        if (inScope(entry) && !entry.localPackage.empty()) DeleteFileAt(entry.localPackage);
    }
    entries.erase(std::remove_if(entries.begin(), entries.end(), inScope), entries.end());
    WritePlantRecord(entries);
}

}  // namespace

void Reset(ResetScope scope) {
    PrepareMachine();
    WaitForSetupChildren();
    RemoveProfiles();
    DeleteFolderTree(LabStateFolder() + L"\\finishers");
    const auto plans = PlansInScope(scope);
    for (const auto& plan : plans) RemoveServices(plan);
    for (const auto& plan : plans) UninstallPackage(plan);
    for (const auto& plan : plans) RemoveKeys(plan);
    for (const auto& plan : plans) RemoveFolders(plan);
    DeleteIfEmpty(Hklm64(L"SYSTEM\\ControlSet002\\services"));
    DeleteIfEmpty(Hklm64(L"SYSTEM\\ControlSet002"));
    DeleteFolderIfEmpty(InstallShieldInformation());
    ForgetPlanted(plans);
    DeleteFileAt(SetupRunsLogPath());
}

}  // namespace Lab
