// The lab machine from the command line (see lab/plant and README.md):
//
//   labmachine plant <component>... [options]   plants components (see "labmachine help")
//   labmachine plant-bystanders                 plants the bystanders
//   labmachine reset [--ours]                   removes everything the lab can plant
//   labmachine snapshot [<file>]                writes a snapshot (UTF-8), e.g. to C:\lab\before.txt
//   labmachine diff <before> <after>            "- " lines that went, "+ " lines that came
//   labmachine runs                             the lab setup's runs
//   labmachine list                             components and their edition names
//   labmachine prefixes <component>|bystanders  snapshot prefixes of what the lab plants
//   labmachine prefixes profiles|profile-bystanders
//                                               the same for the suite's traces in the other
//                                               users' profiles and for their bystanders
//   labmachine plant-profiles                   plants the profiles of alice (hive loaded) and bob
//   labmachine profiles                         the profiles the lab plants: name, SID, folder, loaded
//   labmachine hive-has <user> <key>            "yes" or "no": the user's hive file holds the key
//   labmachine hive-delete <user> <key>         writes the user's hive file again without the key
//   labmachine hive-closed <user>               "yes" or "no": nothing has the user's hive file open

#include "LabFiles.h"
#include "Lab.h"
#include "LabProfiles.h"
#include "LabText.h"
#include "PlantArguments.h"
#include "ProfileCommands.h"

#include <cstdio>

namespace {

void Print(const std::wstring& text) {
    const std::string bytes = Lab::ToUtf8(text);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void PrintLines(const std::vector<std::wstring>& lines, const std::wstring& lead = L"") {
    for (const auto& line : lines) Print(lead + line + L"\n");
}

Lab::Snapshot ReadSnapshotFile(const std::wstring& path) {
    const auto bytes = Lab::ReadBytes(path);
    if (!bytes) throw Lab::Error(L"cannot read " + path);
    return Lab::ParseSnapshot(Lab::FromUtf8(*bytes));
}

void Plant(const std::vector<std::wstring>& arguments) {
    const auto request = LabMachineTool::ParsePlantArguments(arguments);
    for (const auto& component : request.components) {
        const Lab::Planted planted = Lab::Plant(component, request.options);
        Print(L"planted " + planted.component + L" \"" + planted.edition + L"\"" +
              (planted.uninstallString.empty() ? L"" : L", uninstall string " + planted.uninstallString) + L"\n");
    }
}

void Snapshot(const std::vector<std::wstring>& arguments) {
    const std::wstring text = Lab::TakeSnapshot().Text();
    if (arguments.empty()) return Print(text);
    Lab::WriteBytes(arguments[0], Lab::ToUtf8(text));
}

void Diff(const std::vector<std::wstring>& arguments) {
    if (arguments.size() != 2) throw Lab::Error(L"diff needs two snapshot files");
    const auto diff = Lab::Diff(ReadSnapshotFile(arguments[0]), ReadSnapshotFile(arguments[1]));
    PrintLines(diff.went, L"- ");
    PrintLines(diff.came, L"+ ");
}

void Runs() {
    for (const auto& run : Lab::SetupRuns()) {
        Print(run.role + L" " + run.product + L" pid " + std::to_wstring(run.processId) + L" response " +
              run.response + L" result " + run.result + L" exit " + std::to_wstring(run.exitCode) + L": " +
              run.commandLine + L"\n");
    }
}

void List() {
    for (const auto& component : Lab::ComponentNames()) {
        Print(component + L"\n");
        PrintLines(Lab::Editions(component), L"    ");
    }
}

void Prefixes(const std::vector<std::wstring>& arguments) {
    if (arguments.size() != 1)
        throw Lab::Error(L"prefixes needs a component, \"bystanders\", \"profiles\" or \"profile-bystanders\"");
    const std::wstring& which = arguments[0];
    if (which == L"bystanders") return PrintLines(Lab::BystanderPrefixes());
    if (which == L"profiles") return PrintLines(Lab::ProfileSuitePrefixes());
    if (which == L"profile-bystanders") return PrintLines(Lab::ProfileBystanderPrefixes());
    PrintLines(Lab::ComponentPrefixes(which));
}

int Usage(FILE* out, int exitCode) {
    fputs("usage: labmachine plant|plant-bystanders|reset [--ours]|snapshot [file]|diff a b|runs|list|"
          "prefixes <what>|\n"
          "       plant-profiles|profiles|hive-has <user> <key>|hive-delete <user> <key>|hive-closed <user>|help\n"
          "  prefixes: <component>, bystanders, profiles (the suite's traces in other users' profiles)\n"
          "            or profile-bystanders\n",
          out);
    fputs(LabMachineTool::kPlantUsage, out);
    return exitCode;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage(stderr, 2);
    const std::wstring command = argv[1];
    const std::vector<std::wstring> arguments(argv + 2, argv + argc);
    try {
        if (command == L"plant") Plant(arguments);
        else if (command == L"plant-bystanders") Lab::PlantBystanders();
        else if (command == L"reset") Lab::Reset(arguments.size() == 1 && arguments[0] == L"--ours"
                                                     ? Lab::ResetScope::Ours
                                                     : Lab::ResetScope::Everything);
        else if (command == L"snapshot") Snapshot(arguments);
        else if (command == L"diff") Diff(arguments);
        else if (command == L"runs") Runs();
        else if (command == L"list") List();
        else if (command == L"prefixes") Prefixes(arguments);
        else if (command == L"plant-profiles") LabMachineTool::PlantProfilesCommand();
        else if (command == L"profiles") LabMachineTool::ListProfiles();
        else if (command == L"hive-has") LabMachineTool::HiveHas(arguments);
        else if (command == L"hive-delete") LabMachineTool::HiveDelete(arguments);
        else if (command == L"hive-closed") LabMachineTool::HiveClosed(arguments);
        else if (command == L"help") return Usage(stdout, 0);
        else return Usage(stderr, 2);
        return 0;
    } catch (const std::exception& e) {
        fprintf(stderr, "labmachine: %s\n", e.what());
        return 1;
    }
}
