// The platform API: known to the remover only by its Uninstall entry and
// installer records. Its InstallShield setup wants the response file that
// names the product code.

#include "MachinePaths.h"
#include "PlanParts.h"

namespace Lab {

ComponentPlan PlatformApiPlan(const PlantOptions& options) {
    ComponentPlan plan;
    plan.name = L"api";
    plan.editions = {L"Stennet Orvalis Server API",
                     L"Stennet Fleetwise Server API",
                     L"Varnel Fleetwise Server API",
                     L"Orvalis Enterprise Suite API",
                     L"Orvalis Enterprise Server API",
                     L"Orvalis for Stennet Quarda Tarn API",
                     L"RGP Suite API",
                     L"Rindor Guard Platform Server API"};
    plan.edition = ChooseEdition(plan.editions, options);
    UsePackage(plan, Packages::kPlatformApi);
    plan.installDir = SuiteFolder() + L"\\ORV Server API";
    plan.mainProgram = plan.installDir + L"\\ORVServerAPI.exe";
    plan.responseForm = ResponseForm::Guid;
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram)};
    // The package carries the program alone; the InstallShield setup also
    // leaves its configuration, which it takes back when it uninstalls.
    if (options.setup != SetupKind::Msi) {
        plan.files.push_back(TextFile(plan.installDir + L"\\Config\\api.cfg", "[API]\r\nPort=8443\r\n"));
    }
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

}  // namespace Lab
