#include "app/ORVRemoveApp.h"

#include "app/CommandLine.h"
#include "app/SilentOptions.h"
#include "app/UnattendedRun.h"
#include "platform/MessageBox.h"
#include "ui/ORVRemoveDlg.h"

bool CORVRemoveApp::InitInstance() {
    SetRegistryKey(L"Orvalis");
    const std::wstring arguments = argumentText_;
    // A path given to /log= or /backup= never counts as a switch, "/silent"
    // included; without those switches this is the argument text itself.
    if (!HasSwitch(ParseSilentOptions(arguments).switchText, L"/silent")) {
        CORVRemoveDlg dialog;
        dialog.DoModal();
        exitCode_ = 0;
        return false;
    }
    exitCode_ = RunUnattended(arguments);
    return false;
}

std::wstring CORVRemoveApp::ProfileKeyPath() const {
    return L"Software\\" + registryKey_ + L"\\" + WindowsPlatform::ExecutableBaseName();
}
