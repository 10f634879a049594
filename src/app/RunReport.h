#pragma once
// What one unattended run did, for the machine-readable run report: the
// run as a whole, and for each of the thirteen components what detection
// found before and after, its uninstaller runs and what went wrong.

#include "app/Catalogue.h"
#include "sysops/ActionPlan.h"
#include "sysops/RunEvents.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

enum class RunMode { Remove, Detect, WhatIf };

struct Finding {
    bool installed = false;
    std::optional<std::wstring> version;
};

struct RefusedFolder {
    std::wstring path;
    std::wstring reason;
};

// What went wrong or was left over in one part of the run.
struct Troubles {
    std::vector<std::wstring> failedSteps;       // whole log lines, without the line end
    std::vector<RefusedFolder> refusedFolders;
    std::vector<std::wstring> deletedAtRestart;  // files and folders
};

struct ComponentRecord {
    std::wstring name;  // as the last detection named it
    bool selected = false;
    std::optional<Finding> before;  // absent: never detected
    std::optional<Finding> after;   // absent: not detected again after the removal
    std::vector<UninstallerRunEvent> uninstallerRuns;
    Troubles troubles;
};

// One other user's profile whose steps found something: every line they
// wrote there, in order, across all the run's passes.
struct ProfileRecord {
    std::wstring profile;  // the SID, or "Default"
    std::wstring folder;
    std::vector<std::wstring> lines;
};

struct PlanEntry {
    std::optional<Component> component;  // absent: the root cleanup
    PlannedAction action;
};

struct RunReport {
    std::wstring programVersion;
    std::wstring computerName;
    SYSTEMTIME started{};  // UTC
    SYSTEMTIME ended{};    // UTC
    std::wstring arguments;
    RunMode mode = RunMode::Remove;
    int exitCode = 0;
    std::wstring exitMeaning;
    bool restartNeeded = false;
    std::array<ComponentRecord, kComponentCount> components;
    bool rootCleanupRan = false;
    Troubles rootCleanup;
    Troubles outsideComponents;  // before the first component, or between the parts
    std::vector<PlanEntry> plan;
    std::vector<ProfileRecord> profiles;
};
