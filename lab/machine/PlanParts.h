#pragma once
// Pieces that several plan functions share.

#include "ComponentPlan.h"
#include "LabPackages.h"

namespace Lab {

// Takes the codes, package file and version of one of the lab's packages.
void UsePackage(ComponentPlan& plan, const Packages::Package& package);

// A text file of a few lines, optionally read-only.
FileSpec TextFile(const std::wstring& path, const std::string& text, bool readOnly = false);
FileSpec ProductProgram(const std::wstring& path);

// A file below folder whose full path is longer than MAX_PATH.
FileSpec DeepFile(const std::wstring& folder);

// The copy of a service key that Windows keeps in the last-known-good
// control set: SYSTEM\ControlSet002\services\<name>. Setups leave it.
KeySpec ControlSet002Copy(const std::wstring& service, const std::wstring& imagePath);

std::wstring Quoted(const std::wstring& path);

// Throws for an InstallShield setup of a component that only Windows
// Installer sets up.
void RefuseInstallShield(const PlantOptions& options, const std::wstring& component);

}  // namespace Lab
