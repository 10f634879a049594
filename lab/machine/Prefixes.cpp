// Snapshot prefixes of everything a plan can plant.

#include "InstallerRecords.h"
#include "LabFiles.h"
#include "PlanSteps.h"
#include "PlantRecord.h"

namespace Lab {
namespace {

void AddService(std::vector<std::wstring>& prefixes, const std::wstring& name) {
    prefixes.push_back(ServicePrefix(name));
    prefixes.push_back(RegPrefix(Hklm64(L"SYSTEM\\CurrentControlSet\\Services\\" + name)));
}

void AddProduct(std::vector<std::wstring>& prefixes, const ComponentPlan& plan) {
    prefixes.push_back(RegPrefix(UninstallEntry(plan.productCode)));
    for (const auto& key : InstallerRecordKeys(plan.productCode, plan.upgradeCode, plan.componentCode)) {
        prefixes.push_back(RegPrefix(key));
    }
    prefixes.push_back(FilePrefix(ParentFolder(SetupProgramPath(plan))));
    for (const auto& entry : ReadPlantRecord()) {
        if (entry.component == plan.name && !entry.localPackage.empty()) {
            prefixes.push_back(FilePrefix(entry.localPackage));
        }
    }
}

std::vector<std::wstring> PlanPrefixes(const ComponentPlan& plan) {
    std::vector<std::wstring> prefixes;
    for (const auto* list : {&plan.folders, &plan.leftFolders}) {
        for (const auto& folder : *list) prefixes.push_back(FilePrefix(folder));
    }
    for (const auto& file : plan.files) prefixes.push_back(FilePrefix(file.path));
    for (const auto& service : plan.services) AddService(prefixes, service.name);
    for (const auto& key : plan.keys) prefixes.push_back(RegPrefix(key.key));
    for (const auto& helper : plan.helpers) {
        AddService(prefixes, helper.service);
        prefixes.push_back(RegPrefix(helper.key));
        prefixes.push_back(FilePrefix(helper.program));
    }
    if (HasAppPaths(plan)) prefixes.push_back(RegPrefix(AppPathsKey(plan)));
    if (!plan.productCode.empty()) AddProduct(prefixes, plan);
    // A bystander's roots are all its own; the suite's roots are shared by
    // its components and belong to none of them alone.
    if (plan.bystander) {
        for (const auto& key : plan.resetKeys) prefixes.push_back(RegPrefix(key));
        for (const auto& folder : plan.resetFolders) prefixes.push_back(FilePrefix(folder));
    }
    return prefixes;
}

PlantOptions Everything() {
    PlantOptions options;
    options.helper = true;
    options.webReports = true;
    return options;
}

}  // namespace

std::vector<std::wstring> ComponentPrefixes(const std::wstring& component) {
    return PlanPrefixes(FindComponent(component).plan(Everything()));
}

std::vector<std::wstring> BystanderPrefixes() {
    std::vector<std::wstring> prefixes;
    for (const auto& entry : ComponentTable()) {
        if (!entry.bystander) continue;
        for (auto& prefix : PlanPrefixes(entry.plan(Everything()))) prefixes.push_back(std::move(prefix));
    }
    return prefixes;
}

std::vector<std::wstring> MissingBystanderLines(const Snapshot& before, const Snapshot& after) {
    return MissingLines(after, LinesWithin(before.lines, BystanderPrefixes()));
}

}  // namespace Lab
