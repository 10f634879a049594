#include "sysops/RegistryPurge.h"

#include "platform/MessageBox.h"
#include "sysops/ActionPlan.h"
#include "sysops/InstallerRecords.h"
#include "sysops/UninstallEntries.h"

#include <windows.h>

#include <algorithm>

namespace {

const wchar_t kPurgeLimitText[] =
    L"The ORVRemove utility iterated through the registry too many times. Check the log to see which product it "
    L"got stuck on while attempting to remove it from the registy.";

// Whether the edition still has traces; the checks stop at the first hit.
bool HasTraces(const std::wstring& name) {
    Remove::Log silent;
    return FindUninstallEntry(name, silent) || FindInstallerProduct(name, silent) ||
           GetInstallLocation(name, silent).has_value() || GetDisplayVersion(name, silent).has_value();
}

}  // namespace

std::optional<std::wstring> FindInstalledEdition(const std::vector<std::wstring>& editionNames) {
    for (const std::wstring& name : editionNames) {
        if (HasTraces(name)) return name;
    }
    return std::nullopt;
}

bool PurgeRegistryTraces(std::optional<std::wstring> nameFound, const std::vector<std::wstring>& editionNames,
                         Remove::Log& log) {
    bool failed = false;
    int passes = 0;
    // A plan deletes nothing, so every edition it has purged still shows its
    // traces: it looks among the editions not yet purged, once each.
    std::vector<std::wstring> left = editionNames;
    while (nameFound && passes < kRegistryPurgePassLimit) {
        ++passes;
        log.Write(L"Found product \"" + *nameFound + L"\".  Attempting to remove all traces of it from registry...");
        log.EndLine();
        if (!RemoveUninstallEntries(*nameFound, log)) failed = true;
        if (!RemoveInstallerRecords(*nameFound, log)) failed = true;
        if (Planning()) left.erase(std::remove(left.begin(), left.end(), *nameFound), left.end());
        nameFound = FindInstalledEdition(left);
    }
    if (passes >= kRegistryPurgePassLimit) {
        // The text also goes to the log, for a run nobody watches.
        log.Write(kPurgeLimitText);
        log.EndLine();
        WindowsPlatform::CaptionedMessageBox(kPurgeLimitText, L"Errors Encountered", MB_TOPMOST | MB_ICONERROR);
        return false;
    }
    return !failed;
}
