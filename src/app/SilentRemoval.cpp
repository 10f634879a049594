#include "app/SilentRemoval.h"

#include "app/CommandLine.h"
#include "platform/MessageBox.h"

#include <windows.h>

const wchar_t kSilentUsageText[] =
    L"To remove components silently\n"
    L"the /silent switch must be used with one of the following:\n"
    L"    /all - all components\n"
    L"    /server - Server\n"
    L"    /console - Console\n"
    L"    /cdt - Client Deploy Tool\n"
    L"    /client - Agent\n"
    L"    /loggingservice - Client Logging Service\n"
    L"    /dlp - DLP\n"
    L"    /msde - Microsoft SQL Desktop Engine\n"
    L"    /database - Supporting Databases\n"
    L"    /generator - Installation Generator\n"
    L"    /sam - Software Asset Management\n"
    L"    /a2a - Agent-to-agent API"
    L"    /api - Platform API";

namespace {

// The selection switches in the silent detection order.
const wchar_t* const kSelectionSwitches[] = {
    L"/api", L"/console", L"/cdt",      L"/server",    L"/relay", L"/dlp", L"/loggingservice",
    L"/client", L"/database", L"/generator", L"/msde", L"/sam",  L"/a2a",
};

}  // namespace

void RunSilentRemoval(const std::wstring& argumentText) {
    const bool all = HasSwitch(argumentText, L"/all");
    bool anySelected = false;
    for (const wchar_t* switchText : kSelectionSwitches)
        if (all || HasSwitch(argumentText, switchText)) anySelected = true;

    if (!anySelected) WindowsPlatform::AppMessageBox(kSilentUsageText, MB_OK);
}
