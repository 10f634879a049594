// The agent: "ORV Client" with its service, its keys and the client helper.

#include "MachinePaths.h"
#include "PlanParts.h"

namespace Lab {

ComponentPlan AgentPlan(const PlantOptions& options) {
    ComponentPlan plan;
    plan.name = L"agent";
    plan.editions = {L"Stennet Orvalis Client",
                     L"Stennet Fleetwise Client",
                     L"Stennet Fleetwise Agent",
                     L"Varnel Fleetwise Agent",
                     L"Varnel Fleetwise Client",
                     L"Orvalis Enterprise Client",
                     L"Orvalis for Stennet Quarda Tarn Client",
                     L"RGP Agent",
                     L"Rindor Guard Platform"};
    plan.edition = ChooseEdition(plan.editions, options);
    UsePackage(plan, Packages::kAgent);
    plan.installDir = SuiteFolder() + L"\\ORV Client";
    plan.mainProgram = plan.installDir + L"\\ORVClient.exe";
    plan.appPaths = true;
    plan.responseForm = ResponseForm::F1;
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram),
                  TextFile(plan.installDir + L"\\Data\\settings.ini", "[Client]\r\nServer=orv-server\r\n", true),
                  TextFile(plan.installDir + L"\\Logs\\client.log", "client started\r\n"),
                  DeepFile(plan.installDir)};
    plan.services = {{L"ORVClient", plan.mainProgram, options.serviceArguments}};
    plan.keys = {
        {Hklm32(L"SOFTWARE\\Orvalis\\ClientComplianceAPI"), {TextValue(L"Version", plan.version)}},
        {Hklm32(L"SOFTWARE\\Orvalis\\EnterpriseClient"),
         {TextValue(L"InstallDir", plan.installDir), TextValue(L"ServerName", L"orv-server"),
          NumberValue(L"ServerPort", 8080)}},
        {Hklm32(L"SOFTWARE\\Orvalis, Inc.\\Orvalis Enterprise Client"), {TextValue(L"Version", plan.version)}},
        ControlSet002Copy(L"ORVClient", Quoted(plan.mainProgram)),
    };
    if (options.helper) {
        plan.helpers.push_back({plan.installDir + L"\\ORVClientHelper.exe", L"ORVClientHelper",
                                Hklm32(L"SOFTWARE\\Orvalis\\ORVClientHelper"), options.helperBehaviour});
    }
    plan.resetKeys = {Hklm32(L"SOFTWARE\\Orvalis"), Hklm32(L"SOFTWARE\\Orvalis, Inc.")};
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

}  // namespace Lab
