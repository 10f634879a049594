#pragma once
// The lab machine: plants the suite's components into the Wine prefix the
// way their setups would, plants bystanders beside them (another vendor's
// product and look-alikes of ours) that must survive every removal, and
// resets the machine so that every test starts and ends on a clean one.
//
//   Lab::Reset();
//   Lab::PlantBystanders();
//   Lab::Planted agent = Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
//   const Lab::Snapshot before = Lab::TakeSnapshot();
//   ... run the remover ...
//   const Lab::SnapshotDiff diff = Lab::Diff(before, Lab::TakeSnapshot());
//
// Everything of the suite is planted as a 32-bit setup on 64-bit Windows
// leaves it: keys in the 32-bit registry view, files under
// "C:\Program Files (x86)". Planting failures throw Lab::Error.

#include "LabError.h"
#include "Snapshot.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace Lab {

enum class SetupKind {
    Usual,          // the setup the component is usually installed with (see ComponentNames)
    Msi,            // a real package installed with msiexec; uninstall string MsiExec.exe /I{GUID}
    InstallShield,  // the lab setup as "InstallShield Installation Information\{GUID}\setup.exe"
    None,           // the component's traces without any Uninstall entry or installer record
};

// What a setup program does when it is run to uninstall.
struct SetupBehaviour {
    bool leaveTraces = false;         // fails and removes nothing
    std::optional<DWORD> exitCode;    // default: 0 after removing, 1 after failing
    DWORD childMs = 0;                // > 0: a child removes the Uninstall entry this much after the setup ended
};

struct PlantOptions {
    PlantOptions() = default;
    // Implicit, so that Plant(L"agent", SetupKind::InstallShield) reads well.
    PlantOptions(SetupKind kind) : setup(kind) {}

    SetupKind setup = SetupKind::Usual;
    std::wstring edition;             // empty: the component's first edition name
    std::wstring version;             // DisplayVersion to register; empty: the component's own
    bool uninstallByX = false;        // msi: UninstallString MsiExec.exe /X{GUID} instead of /I
    bool installerRecords = true;     // InstallShield: also Windows Installer records
    SetupBehaviour behaviour;         // InstallShield setup
    std::wstring serviceArguments;    // lab service arguments of every service, e.g. L"--ignore-stop"
    bool helper = true;               // agent: the client helper with its service and key
    SetupBehaviour helperBehaviour;   // agent: the helper's " -remove" run
    bool webReports = false;          // relay: "ORVWebReportsInstalled" and the four web-reports keys
    bool uninstallCmdLine = true;     // logging service: its key names its uninstall command
};

struct Planted {
    std::wstring component;
    std::wstring edition;             // DisplayName of its Uninstall entry
    std::wstring productCode;         // {GUID}, also the Uninstall entry's key name
    std::wstring uninstallString;     // empty without an Uninstall entry
    std::wstring installDir;          // without a trailing backslash
    std::wstring mainProgram;         // empty when the component has none
    std::vector<std::wstring> services;
};

// Components the lab can plant, named like the remover's switches, with
// the setup each usually comes with:
//   "agent"           msi; also installshield; with the client helper
//   "server"          msi; also installshield
//   "relay"           msi; also installshield
//   "console"         msi (version 9.5.5.0, which embeds the deploy tool); also installshield;
//                     per-user settings key in every loaded hive, app data of the current user
//   "cdt"             installshield; also msi (the client deploy tool)
//   "generator"       installshield only (the installation generator), with the
//                     credentials folder in the current user's Documents
//   "api"             installshield with the GUID response file; also msi (the platform API)
//   "loggingservice"  msi; also installshield; inside the agent's folder, with
//                     "UninstallCmdLine" in its key (the setup's own command line)
//   "dlp"             none: folder inside the agent's, its control program
//                     "ORVTightsealCtrl.exe" (understands " -u") and its service
//   "sam"             msi (software asset management)
//   "msde"            msi (Microsoft SQL Server Desktop Engine; Microsoft's folder)
//   "a2a"             none: its folder beside the agent's, named by "DLLPath"
//   "user"            none: the per-user traces, HKEY_USERS\*\Software\Orvalis
//                     and Local AppData\Orvalis
// An msi setup whose uninstall string is MsiExec.exe /I{GUID} (the default)
// stays installed when it is run with " /qn" alone: Windows Installer takes
// that for a maintenance installation. uninstallByX makes it removable so.
std::vector<std::wstring> ComponentNames();
std::vector<std::wstring> Editions(const std::wstring& component);

// Plants one component; planting one that is already planted is an error
// (reset first).
Planted Plant(const std::wstring& component, const PlantOptions& options = {});

// Plants the bystanders: "Kestrel Backup Agent" (a real package with its
// service, folders and keys, also per user), an Uninstall entry and
// installer records named "Stennet Orvalis Client Companion", one named
// "stennet orvalis client", and keys, folders and a service whose names only
// begin like the suite's, in the 64-bit view and "C:\Program Files" too.
void PlantBystanders();

enum class ResetScope { Everything, Ours };
// Removes everything the lab can plant (Ours: keeps the bystanders),
// whatever is left of it, clears the setup-run log and prepares the shared
// registry keys of the machine.
void Reset(ResetScope scope = ResetScope::Everything);

// Snapshot prefixes (see Snapshot.h) of everything the lab can plant for
// one component (not the suite's shared roots), and of everything the
// bystanders own.
std::vector<std::wstring> ComponentPrefixes(const std::wstring& component);
std::vector<std::wstring> BystanderPrefixes();
// The bystander lines of the first snapshot that the second lacks: empty
// when every bystander survived unchanged.
std::vector<std::wstring> MissingBystanderLines(const Snapshot& before, const Snapshot& after);

// One run of the lab setup (InstallShield stand-in, client helper, DLP
// control program or a bystander's uninstaller), as written to
// C:\lab\setup-runs.log.
struct SetupRun {
    std::wstring role;         // "setup", "helper", "control", "bystander", "child"
    std::wstring product;      // the plan that planted it: "agent", ...
    DWORD processId = 0;
    std::wstring response;     // "matched", "mismatch", "missing", "none"
                               // (matched: the exact bytes, for the platform API the
                               // text that names its product code five times)
    std::wstring result;       // "removed", "left-traces", "bad-command-line", "ran", "service";
                               // a child: "started", then "removed-last-part"
    DWORD exitCode = 0;
    std::wstring commandLine;  // as the process received it
};
std::vector<SetupRun> SetupRuns();
std::wstring SetupRunsLogPath();
// Waits for the children of lab setups that still run (a test that ran a
// setup directly, not through the remover's job, waits so before it looks);
// ends those that take more than half a minute.
void WaitForSetupChildren();

}  // namespace Lab
