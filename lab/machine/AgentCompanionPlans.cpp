// What lives next to the agent: the client logging service and DLP inside
// its folder, A2A beside it.

#include "MachinePaths.h"
#include "PlanParts.h"
#include "PlanSteps.h"

namespace Lab {

ComponentPlan LoggingServicePlan(const PlantOptions& options) {
    ComponentPlan plan;
    plan.name = L"loggingservice";
    plan.editions = {L"ORV Logging Service"};
    plan.edition = ChooseEdition(plan.editions, options);
    UsePackage(plan, Packages::kLoggingService);
    plan.installDir = SuiteFolder() + L"\\ORV Client\\ORVClientLoggingService";
    plan.mainProgram = plan.installDir + L"\\ORVClientLoggingService.exe";
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram),
                  TextFile(plan.installDir + L"\\Logs\\service.log", "logging started\r\n")};

    // The service's key names the command that takes it off, complete with
    // its silent options: Windows Installer's, or the InstallShield setup's.
    KeySpec key{Hklm32(L"SOFTWARE\\Orvalis\\LoggingService"), {TextValue(L"InstallDir", plan.installDir)}};
    if (options.setup == SetupKind::InstallShield) plan.responseForm = ResponseForm::Silent;
    if (options.uninstallCmdLine) {
        const std::wstring command = options.setup == SetupKind::InstallShield
                                         ? Quoted(SetupProgramPath(plan)) + L" /s /z\"uninstall\""
                                         : L"MsiExec.exe /X" + plan.productCode + L" /qn REBOOT=REALLYSUPPRESS";
        key.values.push_back(TextValue(L"UninstallCmdLine", command));
    }
    plan.keys = {key};
    plan.resetKeys = {Hklm32(L"SOFTWARE\\Orvalis"), Hklm32(L"SOFTWARE\\Orvalis, Inc.")};
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

ComponentPlan DlpPlan(const PlantOptions& options) {
    ComponentPlan plan;
    plan.name = L"dlp";
    plan.edition = L"DLP";
    plan.installDir = SuiteFolder() + L"\\ORV Client\\DLP";
    plan.mainProgram = plan.installDir + L"\\ORVTightsealCtrl.exe";
    const std::wstring policies = plan.installDir + L"\\Policies";
    const std::wstring service = plan.installDir + L"\\ORVTightsealSvc.exe";
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(service),
                  TextFile(policies + L"\\default.policy", "[Policy]\r\nBlockUsb=1\r\n", true)};
    plan.services = {{L"ORVTightseal", service, options.serviceArguments}};
    // The control program unloads the protection: its service and its
    // policies. Its own folder and key are left to the remover.
    plan.controls = {{plan.mainProgram, {L"ORVTightseal"}, {policies}, {}}};
    plan.keys = {{Hklm32(L"SOFTWARE\\Orvalis\\DLP"),
                  {TextValue(L"InstallDir", plan.installDir), TextValue(L"Version", plan.version)}}};
    plan.resetKeys = {Hklm32(L"SOFTWARE\\Orvalis"), Hklm32(L"SOFTWARE\\Orvalis, Inc.")};
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

ComponentPlan A2APlan(const PlantOptions&) {
    ComponentPlan plan;
    plan.name = L"a2a";
    plan.edition = L"A2A";
    plan.installDir = SuiteFolder() + L"\\ORV A2A";
    plan.mainProgram = plan.installDir + L"\\ORVA2ADLL.dll";
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram),
                  TextFile(plan.installDir + L"\\A2A.config", "<a2a peers=\"4\"/>\r\n")};
    // Below the agent's key: planting A2A alone makes that key exist too.
    plan.keys = {{Hklm32(L"SOFTWARE\\Orvalis\\EnterpriseClient\\A2A"), {TextValue(L"DLLPath", plan.installDir)}}};
    plan.resetKeys = {Hklm32(L"SOFTWARE\\Orvalis"), Hklm32(L"SOFTWARE\\Orvalis, Inc.")};
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

}  // namespace Lab
