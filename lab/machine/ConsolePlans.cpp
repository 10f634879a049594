// The console, with its per-user traces, and the client deploy tool that
// console versions from 9.5.5.0 on carry inside them.

#include "MachinePaths.h"
#include "PlanParts.h"

namespace Lab {

ComponentPlan ConsolePlan(const PlantOptions& options) {
    ComponentPlan plan;
    plan.name = L"console";
    plan.editions = {L"Stennet Orvalis Console",
                     L"Stennet Fleetwise Console",
                     L"Varnel Fleetwise Console",
                     L"Orvalis Enterprise Console",
                     L"Orvalis for Stennet Quarda Tarn Console",
                     L"RGP Console",
                     L"Rindor Guard Platform Console"};
    plan.edition = ChooseEdition(plan.editions, options);
    UsePackage(plan, Packages::kConsole);
    plan.installDir = SuiteFolder() + L"\\ORV Console";
    plan.mainProgram = plan.installDir + L"\\ORVConsole.exe";
    plan.appPaths = true;
    plan.responseForm = ResponseForm::Silent;
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram),
                  TextFile(plan.installDir + L"\\Reports\\inventory.rpt", "[Report]\r\nName=Inventory\r\n", true)};

    // What the console keeps per user: its application data (planted for
    // the user the tests run as) and its settings key, which every account
    // that opened the console has. Its setup leaves both.
    const std::wstring appData = LocalAppData() + L"\\Orvalis\\Enterprise Console";
    plan.leftFolders = {appData};
    plan.files.push_back(TextFile(appData + L"\\console.layout", "<layout columns=\"7\"/>\r\n"));
    for (const auto& hive : UserHives()) {
        const std::wstring root = hive + L"\\Software\\Orvalis";
        plan.keys.push_back({Hku(root + L"\\Enterprise Console"),
                             {TextValue(L"LastServer", L"orv-server"), NumberValue(L"Columns", 7)},
                             false});
        plan.resetKeys.push_back(Hku(root));
    }
    plan.resetFolders = {SuiteFolder(), LocalAppData() + L"\\Orvalis"};
    return plan;
}

ComponentPlan DeployToolPlan(const PlantOptions& options) {
    ComponentPlan plan;
    plan.name = L"cdt";
    plan.editions = {L"Stennet Orvalis Client Deploy Tool"};
    plan.edition = ChooseEdition(plan.editions, options);
    UsePackage(plan, Packages::kDeployTool);
    plan.installDir = SuiteFolder() + L"\\ORV Client Deploy";
    plan.mainProgram = plan.installDir + L"\\ORVClientDeploy.exe";
    plan.appPaths = true;
    plan.responseForm = ResponseForm::F1;
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram),
                  TextFile(plan.installDir + L"\\Templates\\agent-deploy.xml", "<deploy/>\r\n", true),
                  TextFile(plan.installDir + L"\\Logs\\deploy.log", "deployed to 3 machines\r\n")};
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

}  // namespace Lab
