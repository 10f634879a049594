// The server: "ORV Server" with its five services, its web roots and keys.

#include "MachinePaths.h"
#include "PlanParts.h"

namespace Lab {

ComponentPlan ServerPlan(const PlantOptions& options) {
    ComponentPlan plan;
    plan.name = L"server";
    plan.editions = {L"Stennet Orvalis Server",
                     L"Stennet Fleetwise Server",
                     L"Varnel Fleetwise Server",
                     L"Orvalis Enterprise Server",
                     L"Orvalis for Stennet Quarda Tarn Server",
                     L"RGP Server",
                     L"Rindor Guard Platform Server"};
    plan.edition = ChooseEdition(plan.editions, options);
    UsePackage(plan, Packages::kServer);
    plan.installDir = SuiteFolder() + L"\\ORV Server";
    plan.mainProgram = plan.installDir + L"\\ORVRootServer.exe";
    plan.responseForm = ResponseForm::Silent;
    const std::wstring www = plan.installDir + L"\\wwwrootorv";
    const std::wstring reports = plan.installDir + L"\\ORVReportsServer";
    const std::wstring reportsWww = reports + L"\\wwwroot";
    plan.folders = {plan.installDir};
    plan.files = {ProductProgram(plan.mainProgram),
                  ProductProgram(plan.installDir + L"\\ORVHarvest.exe"),
                  ProductProgram(plan.installDir + L"\\HarvestDB.exe"),
                  ProductProgram(plan.installDir + L"\\IntakeDB.exe"),
                  ProductProgram(reports + L"\\ORVWebReportsServer.exe"),
                  TextFile(plan.installDir + L"\\Config\\server.cfg", "[Server]\r\nPort=8080\r\n", true),
                  TextFile(www + L"\\index.htm", "<html><body>ORV</body></html>\r\n"),
                  TextFile(reportsWww + L"\\cgi-bin\\orvreports\\orvreports.cgi", "#!cgi\r\n")};
    plan.services = {{L"ORVWebReportsServer", reports + L"\\ORVWebReportsServer.exe", options.serviceArguments},
                     {L"HarvestDB", plan.installDir + L"\\HarvestDB.exe", options.serviceArguments},
                     {L"IntakeDB", plan.installDir + L"\\IntakeDB.exe", options.serviceArguments},
                     {L"ORVRootServer", plan.mainProgram, options.serviceArguments},
                     {L"ORVHarvest", plan.installDir + L"\\ORVHarvest.exe", options.serviceArguments}};
    const RegKey settings = Hklm32(L"SOFTWARE\\Orvalis\\Enterprise Server");
    plan.keys = {
        {settings, {TextValue(L"EnterpriseServerFolder", plan.installDir), TextValue(L"wwwRootFolder", www)}},
        {settings.Sub(L"ORVReports"), {TextValue(L"Path", reportsWww + L"\\cgi-bin\\orvreports")}},
        {Hklm32(L"SOFTWARE\\Orvalis\\Orvalis Server"), {TextValue(L"Version", plan.version)}},
        {Hklm32(L"SOFTWARE\\Orvalis\\OVEAdmin"), {TextValue(L"AdminUser", L"orvadmin")}},
    };
    for (const auto& service : plan.services) {
        plan.keys.push_back(ControlSet002Copy(service.name, Quoted(service.program)));
    }
    plan.resetKeys = {Hklm32(L"SOFTWARE\\Orvalis"), Hklm32(L"SOFTWARE\\Orvalis, Inc.")};
    plan.resetFolders = {SuiteFolder()};
    return plan;
}

}  // namespace Lab
