#include "products/PlatformAPIProduct.h"

#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/Text.h"
#include "products/SharedRoutines.h"
#include "sysops/ActionPlan.h"
#include "sysops/InstallerRecords.h"
#include "sysops/RegistryPurge.h"
#include "sysops/UninstallCommands.h"
#include "sysops/UninstallEntries.h"

namespace {

const char kGuidResponseTemplate[] =
    "[{guid}-DlgOrder]\r\nDlg0={guid}-MessageBox-0\r\nCount=2\r\nDlg1={guid}-SdFinish-0\r\n"
    "[{guid}-MessageBox-0]\r\nResult=6\r\n[{guid}-SdFinish-0]\r\nResult=1\r\nbOpt1=0\r\nbOpt2=0\r\n";

// The text from the first "{" to the first "}", braces included; absent
// when either is missing or they come in the wrong order.
std::optional<std::wstring> ProductGuid(const std::wstring& uninstallString) {
    const size_t open = uninstallString.find(L'{');
    const size_t close = uninstallString.find(L'}');
    if (open == std::wstring::npos || close == std::wstring::npos || close < open) return std::nullopt;
    return uninstallString.substr(open, close - open + 1);
}


const wchar_t kStillRegistered[] = L"Installation information still exists!  Uninstall appears unsuccessful.";

}  // namespace

std::string GuidResponseFileText(const std::string& guid) {
    return Format(kGuidResponseTemplate, guid, guid, guid, guid, guid).Text();
}

const EditionList PlatformAPIProduct::kEditions = {
    L"Stennet Orvalis Server API",
    L"Stennet Fleetwise Server API",
    L"Varnel Fleetwise Server API",
    L"Orvalis Enterprise Suite API",
    L"Orvalis Enterprise Server API",
    L"Orvalis for Stennet Quarda Tarn API",
    L"RGP Suite API",
    L"Rindor Guard Platform Server API",
};

PlatformAPIProduct::PlatformAPIProduct(Remove::Log& log) : EditionProduct(log, L"Platform API", kEditions) {}

void PlatformAPIProduct::Detect() {
    log.WriteDetectionBanner(Name().c_str());
    ResolveProductName();
    // The version is shown but is no trace of its own.
    version = GetDisplayVersion(*productName, log);
    const bool entry = FindUninstallEntry(*productName, log);
    const bool record = FindInstallerProduct(*productName, log);
    installed = entry || record;
}

bool PlatformAPIProduct::WriteGuidResponseFile(const std::wstring& uninstallString, const std::wstring& path) {
    if (!ActOrDescribe(PlannedAction{ActionKind::ResponseFile, path}, log)) return true;
    log.Write(L"Creating install shield response file...");
    const auto guid = ProductGuid(uninstallString);
    if (!guid) {
        log.Write(L"Couldn't find GUID in uninstall string");
        log.EndLine();
        return false;
    }
    return WriteResponseText(path, GuidResponseFileText(TranscodeU16ToU8(*guid)));
}

bool PlatformAPIProduct::Remove() {
    log.WriteRemovalBanner(Name().c_str());
    UninstallRule rule;
    rule.makesResponseFile = true;
    rule.command = [this](const std::wstring& uninstallString,
                          const std::wstring& responseFile) -> std::optional<std::wstring> {
        if (IsMsiExecCommand(uninstallString)) return PlatformApiMsiCommand(uninstallString);
        if (!WriteGuidResponseFile(uninstallString, responseFile)) return std::nullopt;
        return PlatformApiResponseCommand(uninstallString, responseFile);
    };
    // A product still registered after its uninstaller keeps its traces.
    rule.stillRegisteredMessage = kStillRegistered;
    if (!StandardUninstall(Name(), Name(), rule, log)) return false;
    return PurgeRegistryTraces(ProductNameCopy(), Editions(), log);
}
