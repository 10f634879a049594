// Planting a component from its plan.

#include "InstallerRecords.h"
#include "LabFiles.h"
#include "LabServices.h"
#include "MachinePaths.h"
#include "PlanParts.h"
#include "PlanSteps.h"
#include "PlantRecord.h"

namespace Lab {
namespace {

const wchar_t* SetupName(SetupKind kind) {
    switch (kind) {
    case SetupKind::Msi: return L"msi";
    case SetupKind::InstallShield: return L"installshield";
    default: return L"none";
    }
}

void PlantFiles(const ComponentPlan& plan, bool packageHasMainProgram) {
    for (const auto& folder : plan.folders) MakeFolders(folder);
    for (const auto& file : plan.files) {
        if (packageHasMainProgram && file.path == plan.mainProgram) continue;
        if (file.kind == FileKind::ProductProgram) {
            CopyFileTo(LabBinary(L"labproduct.exe"), file.path);
        } else {
            WriteBytes(file.path, file.text, file.readOnly);
        }
    }
}

void PlantKeys(const ComponentPlan& plan) {
    for (const auto& key : plan.keys) {
        CreateKey(key.key);
        for (const auto& value : key.values) SetValue(key.key, value);
    }
}

void PlantServices(const ComponentPlan& plan) {
    for (const auto& service : plan.services) {
        const std::wstring arguments = service.arguments.empty() ? L"" : L" " + service.arguments;
        CreateAndStartService(service.name, Quoted(service.program) + arguments);
    }
}

Planted Describe(const ComponentPlan& plan, SetupKind setup) {
    Planted planted;
    planted.component = plan.name;
    planted.edition = plan.edition;
    if (setup != SetupKind::None) {
        planted.productCode = plan.productCode;
        planted.uninstallString = ReadText(UninstallEntry(plan.productCode), L"UninstallString").value_or(L"");
    }
    planted.installDir = plan.installDir;
    planted.mainProgram = plan.mainProgram;
    for (const auto& service : plan.services) planted.services.push_back(service.name);
    for (const auto& helper : plan.helpers) planted.services.push_back(helper.service);
    return planted;
}

}  // namespace

void PrepareMachine() {
    MakeFolders(LabStateFolder());
    // The containers that every Windows machine with installed software has;
    // made here so that the first installation does not add them.
    MakeFolders(L"C:\\windows\\Installer");
    const std::wstring classes = L"SOFTWARE\\Classes\\Installer";
    const std::wstring installer = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";
    for (const auto& container : {classes + L"\\Products", classes + L"\\Features", classes + L"\\UpgradeCodes",
                                  installer + L"\\UpgradeCodes", installer + L"\\UserData\\S-1-5-18\\Products",
                                  installer + L"\\UserData\\S-1-5-18\\Components",
                                  std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall")}) {
        CreateKey(Hklm64(container));
    }
    CreateKey(Hklm32(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    // Windows shares the installer's classes between both registry views.
    // A 64-bit lab program needs a link for its 32-bit view; under WoW64 the
    // 32-bit view already shows the shared key with the containers above.
    if (!KeyExists(Hklm32(classes + L"\\Products")))
        CreateLink(Hklm32(classes), L"\\Registry\\Machine\\Software\\Classes\\Installer");
}

RegKey AppPathsKey(const ComponentPlan& plan) {
    return Hklm32(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + FileName(plan.mainProgram));
}

bool HasAppPaths(const ComponentPlan& plan) { return plan.appPaths || !plan.package.empty(); }

Planted Plant(const std::wstring& component, const PlantOptions& requested) {
    const ComponentEntry& entry = FindComponent(component);
    PlantOptions options = requested;
    options.setup = ResolveSetup(entry, requested.setup);
    ComponentPlan plan = entry.plan(options);
    if (!options.version.empty()) plan.version = options.version;
    PrepareMachine();
    if (IsPlanted(component)) throw Error(component + L" is planted already: reset the lab first");
    const SetupKind setup = plan.productCode.empty() ? SetupKind::None : options.setup;
    if (setup == SetupKind::Msi && plan.package.empty()) {
        throw Error(L"the lab has no package for " + component + L": plant it with another setup");
    }
    // Recorded first, so that a reset also cleans up a planting that failed halfway.
    PlantedEntry record{component, SetupName(setup), L""};
    AddToPlantRecord(record);

    PlantFiles(plan, setup == SetupKind::Msi);
    if (setup == SetupKind::Msi) {
        record.localPackage = InstallPackage(plan, options);
        AddToPlantRecord(record);
    } else if (setup == SetupKind::InstallShield) {
        RegisterInstallShieldSetup(plan, options);
    }
    if (plan.appPaths && setup != SetupKind::Msi) {
        SetValue(AppPathsKey(plan), TextValue(L"", plan.mainProgram));
        SetValue(AppPathsKey(plan), TextValue(L"Path", plan.installDir));
    }
    PlantKeys(plan);
    for (const auto& helper : plan.helpers) PlantHelper(plan, helper);
    for (const auto& control : plan.controls) PlantControlProgram(plan, control);
    PlantServices(plan);
    return Describe(plan, setup);
}

void PlantBystanders() {
    for (const auto& entry : ComponentTable()) {
        if (entry.bystander) Plant(entry.name);
    }
}

}  // namespace Lab
