// Components set up by an InstallShield setup, played by the lab setup.

#include "InstallerRecords.h"
#include "LabFiles.h"
#include "LabServices.h"
#include "MachinePaths.h"
#include "PlanParts.h"
#include "PlanSteps.h"
#include "SetupManifest.h"

namespace Lab {
namespace {

SetupManifest SetupManifestFor(const ComponentPlan& plan, const PlantOptions& options) {
    SetupManifest manifest;
    manifest.role = plan.setupRole;
    manifest.product = plan.name;
    switch (plan.responseForm) {
    case ResponseForm::F1:
        manifest.form = L"f1";
        manifest.response = kResponseFileText;
        break;
    case ResponseForm::Guid:
        manifest.form = L"guid";
        manifest.response = GuidResponseText(plan.productCode);
        break;
    default:
        manifest.form = L"silent";
    }
    manifest.behaviour = options.behaviour;
    for (const auto& service : plan.services) manifest.services.push_back(service.name);
    manifest.folders = plan.folders;
    for (const auto& key : plan.keys) {
        if (key.setupRemoves) manifest.keys.push_back(key.key);
    }
    if (plan.appPaths) manifest.keys.push_back(AppPathsKey(plan));
    if (options.installerRecords) {
        for (const auto& key : InstallerRecordKeys(plan.productCode, plan.upgradeCode, plan.componentCode)) {
            manifest.keys.push_back(key);
        }
    }
    manifest.lastKeys = {UninstallEntry(plan.productCode)};
    return manifest;
}

}  // namespace

std::wstring SetupProgramPath(const ComponentPlan& plan) {
    return InstallShieldInformation() + L"\\" + plan.productCode + L"\\setup.exe";
}

void RegisterInstallShieldSetup(const ComponentPlan& plan, const PlantOptions& options) {
    const std::wstring setup = SetupProgramPath(plan);
    CopyFileTo(LabBinary(L"labsetup.exe"), setup);
    WriteManifest(ManifestPathFor(setup), SetupManifestFor(plan, options));

    const RegKey entry = UninstallEntry(plan.productCode);
    SetValue(entry, TextValue(L"DisplayName", plan.edition));
    SetValue(entry, TextValue(L"DisplayVersion", plan.version));
    SetValue(entry, TextValue(L"Publisher", plan.publisher));
    if (!plan.installDir.empty()) SetValue(entry, TextValue(L"InstallLocation", plan.installDir));
    SetValue(entry, TextValue(L"UninstallString", Quoted(setup)));
    SetValue(entry, TextValue(L"LogFile", ParentFolder(setup) + L"\\setup.ilg"));
    SetValue(entry, NumberValue(L"NoModify", 1));
    SetValue(entry, NumberValue(L"NoRepair", 1));
    if (options.installerRecords) {
        WriteInstallerRecords(plan.productCode, plan.upgradeCode, plan.componentCode, plan.edition,
                              plan.mainProgram);
    }
}

void PlantHelper(const ComponentPlan& plan, const HelperSpec& helper) {
    CopyFileTo(LabBinary(L"labsetup.exe"), helper.program);
    SetupManifest manifest;
    manifest.role = L"helper";
    manifest.product = plan.name;
    manifest.form = L"remove";
    manifest.behaviour = helper.behaviour;
    manifest.services = {helper.service};
    manifest.keys = {helper.key};
    WriteManifest(ManifestPathFor(helper.program), manifest);
    SetValue(helper.key, TextValue(L"HelperPath", helper.program));
    CreateAndStartService(helper.service, Quoted(helper.program));
}

void PlantControlProgram(const ComponentPlan& plan, const ControlSpec& control) {
    CopyFileTo(LabBinary(L"labsetup.exe"), control.program);
    SetupManifest manifest;
    manifest.role = L"control";
    manifest.product = plan.name;
    manifest.form = L"u";
    manifest.services = control.services;
    manifest.folders = control.folders;
    manifest.keys = control.keys;
    WriteManifest(ManifestPathFor(control.program), manifest);
}

}  // namespace Lab
