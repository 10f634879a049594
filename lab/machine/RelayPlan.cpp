// The relay: "ORV Relay" with its service and its share of the server's
// settings key, marked by "RelayVersion".

#include "MachinePaths.h"
#include "PlanParts.h"

namespace Lab {

ComponentPlan RelayPlan(const PlantOptions& options) {
    ComponentPlan plan;
    plan.name = L"relay";
    plan.editions = {L"Stennet Orvalis Relay",
                     L"\u00BBStennet Orvalis Relay\u00AB",
                     L"Stennet Fleetwise Relay",
                     L"Varnel Fleetwise Relay",
                     L"Orvalis Enterprise Relay",
                     L"Orvalis for Stennet Quarda Tarn Relay",
                     L"RGP Relay",
                     L"Rindor Guard Platform Relay"};
    plan.edition = ChooseEdition(plan.editions, options);
    UsePackage(plan, Packages::kRelay);
    plan.installDir = SuiteFolder() + L"\\ORV Relay";
    plan.mainProgram = plan.installDir + L"\\ORVRelay.exe";
    plan.appPaths = true;
    plan.responseForm = ResponseForm::F1;
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram),
                  TextFile(plan.installDir + L"\\Data\\relay.cfg", "[Relay]\r\nUpstream=orv-server\r\n", true),
                  TextFile(plan.installDir + L"\\Logs\\relay.log", "relay started\r\n")};
    plan.services = {{L"ORVRelay", plan.mainProgram, options.serviceArguments}};

    // The relay's setup leaves the settings key it shares with the server.
    const RegKey settings = Hklm32(L"SOFTWARE\\Orvalis\\Enterprise Server");
    KeySpec settingsKey{settings, {TextValue(L"RelayVersion", plan.version)}, false};
    if (options.webReports) settingsKey.values.push_back(NumberValue(L"ORVWebReportsInstalled", 1));
    plan.keys = {settingsKey, {Hklm32(L"SOFTWARE\\Orvalis\\ORVRelay"), {TextValue(L"InstallDir", plan.installDir)}}};
    if (options.webReports) {
        for (const wchar_t* name : {L"ClientRegister", L"IntakeDB", L"HarvestService", L"GlobalOptions"}) {
            plan.keys.push_back({settings.Sub(name), {TextValue(L"Owner", L"web reports")}, false});
        }
    }
    plan.resetKeys = {Hklm32(L"SOFTWARE\\Orvalis"), Hklm32(L"SOFTWARE\\Orvalis, Inc.")};
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

}  // namespace Lab
