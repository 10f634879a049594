#pragma once
// The steps that planting and resetting are made of.

#include "ComponentPlan.h"

namespace Lab {

// Makes the lab's state folder and the registry containers every machine
// with installed software has. Like 64-bit Windows, Wine's WoW64 shares
// HKLM\SOFTWARE\Classes\Installer between the two registry views.
void PrepareMachine();

RegKey AppPathsKey(const ComponentPlan& plan);
std::wstring SetupProgramPath(const ComponentPlan& plan);

// Installs the plan's package with msiexec and adjusts what it registered
// to the options; returns the package copy that Windows Installer cached.
std::wstring InstallPackage(const ComponentPlan& plan, const PlantOptions& options);
// Copies the lab setup into the InstallShield information folder, writes its
// manifest, the Uninstall entry and, if asked, the installer records.
void RegisterInstallShieldSetup(const ComponentPlan& plan, const PlantOptions& options);
// The client helper: a copy of the lab setup running as its service.
void PlantHelper(const ComponentPlan& plan, const HelperSpec& helper);
// A control program: a copy of the lab setup in control mode.
void PlantControlProgram(const ComponentPlan& plan, const ControlSpec& control);

// Whether the component has an App Paths entry: the plan asks for one, or
// its package registers one.
bool HasAppPaths(const ComponentPlan& plan);

}  // namespace Lab
