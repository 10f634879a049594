// The installation generator: its folder named by its key, and the
// credentials folder it leaves in the Documents of the user who ran it.

#include "MachinePaths.h"
#include "PlanParts.h"

namespace Lab {

ComponentPlan GeneratorPlan(const PlantOptions& options) {
    ComponentPlan plan;
    plan.name = L"generator";
    plan.editions = {L"Stennet Orvalis Installation Generator",
                     L"Stennet Fleetwise Installation Generator",
                     L"Varnel Fleetwise Installation Generator",
                     L"Orvalis Enterprise Suite Installation Generator",
                     L"Orvalis for Stennet Quarda Tarn Installation Generator",
                     L"RGP Installation Generator",
                     L"Rindor Guard Platform Installation Generator"};
    plan.edition = ChooseEdition(plan.editions, options);
    // Shipped with InstallShield only: there is no package.
    plan.productCode = L"{4A5CFF41-5FFB-43F3-B15C-BD97B08F5433}";
    plan.upgradeCode = L"{AE522DC6-512C-4C71-B195-5C9C68E14E70}";
    plan.componentCode = L"{6D88E833-CE5A-47AD-9565-D5A814AD1C9C}";
    plan.installDir = SuiteFolder() + L"\\ORV Installation Generator";
    plan.mainProgram = plan.installDir + L"\\ORVInstallGen.exe";
    plan.responseForm = ResponseForm::Silent;
    plan.folders = {plan.installDir};
    const std::wstring credentials = Documents() + L"\\ORVCredentials";
    plan.leftFolders = {credentials};
    plan.files = {ProductProgram(plan.mainProgram),
                  TextFile(plan.installDir + L"\\Templates\\agent.ini", "[Agent]\r\nServer=orv-server\r\n"),
                  TextFile(credentials + L"\\orv-server.cred", "user=orvadmin\r\n", true)};
    plan.keys = {{Hklm32(L"SOFTWARE\\Orvalis\\ORV Installation Generator"),
                  {TextValue(L"InstallFolder", plan.installDir), TextValue(L"Version", plan.version)}}};
    plan.resetKeys = {Hklm32(L"SOFTWARE\\Orvalis"), Hklm32(L"SOFTWARE\\Orvalis, Inc.")};
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

}  // namespace Lab
