#pragma once
// What planting one component means: its names, folders, files, services
// and keys, and how its setup registers it. Each component of the suite
// (and each group of bystanders) is one function that fills a plan; the
// planter and the reset work on plans only, so a new component is one new
// plan function and one row in the table of Components.cpp.

#include "Lab.h"
#include "RegistryKey.h"

#include <functional>
#include <string>
#include <vector>

namespace Lab {

// How the suite runs the component's InstallShield setup; the setup checks
// that it is called exactly so.
enum class ResponseForm {
    F1,      // -s --uninstallsilent -f1"<response file>"   (agent, relay, client deploy tool)
    Silent,  // /s /z"uninstall"                           (server, console, installation generator)
    Guid,    // -s -f1"<response file naming the product code>"   (platform API)
};

enum class FileKind {
    Text,            // the bytes of FileSpec::text
    ProductProgram,  // a copy of labproduct.exe (the lab service with a version resource)
};

struct FileSpec {
    std::wstring path;
    FileKind kind = FileKind::Text;
    std::string text;
    bool readOnly = false;
};

struct ServiceSpec {
    std::wstring name;
    std::wstring program;    // ImagePath is the quoted program, then the arguments
    std::wstring arguments;
};

struct KeySpec {
    RegKey key;
    std::vector<RegValue> values;
    bool setupRemoves = true;  // the component's own setup deletes it when it uninstalls
};

// The agent's client helper: a copy of the lab setup in helper mode that runs
// as the service and understands " -remove".
struct HelperSpec {
    std::wstring program;
    std::wstring service;
    RegKey key;
    SetupBehaviour behaviour;
};

// A program of the component that the remover runs to take part of it off
// (DLP's control program): a copy of the lab setup in control mode that
// understands " -u" and removes the services, folders and keys named here.
struct ControlSpec {
    std::wstring program;
    std::vector<std::wstring> services;
    std::vector<std::wstring> folders;
    std::vector<RegKey> keys;
};

struct ComponentPlan {
    std::wstring name;
    bool bystander = false;
    std::vector<std::wstring> editions;  // the first one is the default
    std::wstring edition;                // the DisplayName to register
    std::wstring publisher = L"Orvalis";
    std::wstring version = L"7.2.1";     // DisplayVersion
    std::wstring productCode;            // {GUID}
    std::wstring upgradeCode;
    std::wstring componentCode;          // of the package's one component
    std::wstring package;                // file in bin\msi; empty: no package
    std::wstring installDir;             // without a trailing backslash
    std::wstring mainProgram;            // installed by the package, or copied by the lab
    bool appPaths = false;               // App Paths entry for the main program
    ResponseForm responseForm = ResponseForm::F1;
    std::wstring setupRole = L"setup";   // role of the lab setup behind an InstallShield entry
    std::vector<std::wstring> folders;   // deleted whole by the setup, and by a reset
    std::vector<FileSpec> files;
    std::vector<ServiceSpec> services;
    std::vector<KeySpec> keys;
    std::vector<std::wstring> leftFolders;  // planted traces the setup leaves (per-user data, ...)
    std::vector<HelperSpec> helpers;
    std::vector<ControlSpec> controls;
    // Roots that a reset deletes whole besides everything above: the suite's
    // root keys and folders, a bystander vendor's keys.
    std::vector<RegKey> resetKeys;
    std::vector<std::wstring> resetFolders;
};

using PlanFunction = std::function<ComponentPlan(const PlantOptions&)>;

struct ComponentEntry {
    std::wstring name;
    bool bystander;
    SetupKind defaultSetup;  // what SetupKind::Usual stands for; bystanders are planted with it
    PlanFunction plan;
};

const std::vector<ComponentEntry>& ComponentTable();
const ComponentEntry& FindComponent(const std::wstring& name);
// The setup kind that a request for the entry's component stands for.
SetupKind ResolveSetup(const ComponentEntry& entry, SetupKind requested);

// Plan functions, one per component (AgentPlan.cpp, ...).
ComponentPlan AgentPlan(const PlantOptions& options);
ComponentPlan ServerPlan(const PlantOptions& options);
ComponentPlan RelayPlan(const PlantOptions& options);
ComponentPlan ConsolePlan(const PlantOptions& options);
ComponentPlan DeployToolPlan(const PlantOptions& options);
ComponentPlan GeneratorPlan(const PlantOptions& options);
ComponentPlan PlatformApiPlan(const PlantOptions& options);
ComponentPlan LoggingServicePlan(const PlantOptions& options);
ComponentPlan DlpPlan(const PlantOptions& options);
ComponentPlan A2APlan(const PlantOptions& options);
ComponentPlan AssetManagementPlan(const PlantOptions& options);
ComponentPlan DesktopEnginePlan(const PlantOptions& options);
ComponentPlan UserTracesPlan(const PlantOptions& options);
ComponentPlan KestrelPlan(const PlantOptions& options);
ComponentPlan CompanionPlan(const PlantOptions& options);
ComponentPlan LowerCaseNamePlan(const PlantOptions& options);
ComponentPlan LookAlikesPlan(const PlantOptions& options);

// The edition name of the options (any text, so that a test can register a
// name that is not in the list), or else the list's first one.
std::wstring ChooseEdition(const std::vector<std::wstring>& editions, const PlantOptions& options);

}  // namespace Lab
