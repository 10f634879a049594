#pragma once
// The file beside each copy of the lab setup (setup.exe -> setup.lab) that
// tells it which product it belongs to, how it expects to be called and
// what it removes; and the log of its runs in C:\lab\setup-runs.log.
//
// The manifest is UTF-8, one "name=value" a line; lists repeat the name.

#include "Lab.h"
#include "RegistryKey.h"

#include <string>
#include <vector>

namespace Lab {

struct SetupManifest {
    std::wstring role = L"setup";  // "setup", "helper" or "bystander"
    std::wstring product;
    std::wstring form;             // setup: "f1" or "silent"; helper: "remove"
    std::string response;          // f1: the exact bytes the response file must hold
    SetupBehaviour behaviour;
    std::vector<std::wstring> services;  // stopped and deleted
    std::vector<std::wstring> folders;   // deleted whole
    std::vector<RegKey> keys;            // deleted whole
    std::vector<RegKey> lastKeys;        // deleted last, by the child when there is one
};

std::wstring ManifestPathFor(const std::wstring& program);
void WriteManifest(const std::wstring& path, const SetupManifest& manifest);
SetupManifest ReadManifest(const std::wstring& path);

void AppendSetupRun(const SetupRun& run);


}  // namespace Lab
