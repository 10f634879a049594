#include "PlantArguments.h"

#include <cwchar>

namespace LabMachineTool {
namespace {

bool Option(const std::wstring& argument, const wchar_t* name, std::wstring& value) {
    const std::wstring prefix = std::wstring(name) + L"=";
    if (argument.rfind(prefix, 0) != 0) return false;
    value = argument.substr(prefix.size());
    return true;
}

DWORD Number(const std::wstring& text) { return static_cast<DWORD>(std::wcstoul(text.c_str(), nullptr, 10)); }

Lab::SetupKind SetupKindNamed(const std::wstring& name) {
    if (name == L"usual") return Lab::SetupKind::Usual;
    if (name == L"msi") return Lab::SetupKind::Msi;
    if (name == L"installshield") return Lab::SetupKind::InstallShield;
    if (name == L"none") return Lab::SetupKind::None;
    throw Lab::Error(L"unknown setup kind: " + name);
}

// The options that set up what a setup program does: the setup's own ones
// (prefix "") and the client helper's ("helper-").
bool BehaviourOption(const std::wstring& argument, const std::wstring& prefix, Lab::SetupBehaviour& behaviour) {
    std::wstring value;
    if (argument == L"--" + prefix + L"leave-traces") {
        behaviour.leaveTraces = true;
    } else if (Option(argument, (L"--" + prefix + L"exit-code").c_str(), value)) {
        behaviour.exitCode = Number(value);
    } else if (Option(argument, (L"--" + prefix + L"child-ms").c_str(), value)) {
        behaviour.childMs = Number(value);
    } else {
        return false;
    }
    return true;
}

}  // namespace

const char kPlantUsage[] =
    "labmachine plant <component>... [options]\n"
    "  components: agent server relay console cdt generator api loggingservice dlp a2a sam msde user\n"
    "              (\"labmachine list\" shows their edition names)\n"
    "  --setup=usual|msi|installshield|none\n"
    "                                   how the component is set up (default usual: its own,\n"
    "                                   msi for agent, server, relay, console, loggingservice,\n"
    "                                   sam, msde; installshield for cdt, generator, api;\n"
    "                                   none for dlp, a2a, user)\n"
    "  --edition=<name>                 DisplayName to register (default: the first edition)\n"
    "  --version=<text>                 DisplayVersion to register (console default 9.5.5.0)\n"
    "  --uninstall-x                    msi: UninstallString MsiExec.exe /X{GUID}\n"
    "  --no-records                     installshield: no Windows Installer records\n"
    "  --leave-traces                   the setup fails and removes nothing\n"
    "  --exit-code=N                    the setup ends with exit code N\n"
    "  --child-ms=N                     a child removes the Uninstall entry N ms after the setup ended\n"
    "  --service-args=<text>            lab service arguments, e.g. --ignore-stop\n"
    "  --no-helper                      agent: no client helper\n"
    "  --helper-leave-traces, --helper-exit-code=N, --helper-child-ms=N\n"
    "                                   agent: the same for the helper's -remove run\n"
    "  --web-reports                    relay: ORVWebReportsInstalled and the four web-reports keys\n"
    "  --no-uninstall-cmdline           loggingservice: no UninstallCmdLine in its key\n";

PlantRequest ParsePlantArguments(const std::vector<std::wstring>& arguments) {
    PlantRequest request;
    auto& options = request.options;
    for (const auto& argument : arguments) {
        std::wstring value;
        if (argument.rfind(L"--", 0) != 0) {
            request.components.push_back(argument);
        } else if (Option(argument, L"--setup", value)) {
            options.setup = SetupKindNamed(value);
        } else if (Option(argument, L"--edition", value)) {
            options.edition = value;
        } else if (Option(argument, L"--version", value)) {
            options.version = value;
        } else if (Option(argument, L"--service-args", value)) {
            options.serviceArguments = value;
        } else if (argument == L"--uninstall-x") {
            options.uninstallByX = true;
        } else if (argument == L"--no-records") {
            options.installerRecords = false;
        } else if (argument == L"--no-helper") {
            options.helper = false;
        } else if (argument == L"--web-reports") {
            options.webReports = true;
        } else if (argument == L"--no-uninstall-cmdline") {
            options.uninstallCmdLine = false;
        } else if (!BehaviourOption(argument, L"", options.behaviour) &&
                   !BehaviourOption(argument, L"helper-", options.helperBehaviour)) {
            throw Lab::Error(L"unknown option: " + argument);
        }
    }
    if (request.components.empty()) throw Lab::Error(L"no component named");
    return request;
}

}  // namespace LabMachineTool
