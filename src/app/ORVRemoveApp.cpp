#include "app/ORVRemoveApp.h"

#include "app/CommandLine.h"
#include "app/SilentRemoval.h"
#include "platform/MessageBox.h"
#include "ui/ORVRemoveDlg.h"

bool CORVRemoveApp::InitInstance() {
    SetRegistryKey(L"Orvalis");
    const std::wstring arguments = argumentText_;
    if (!HasSwitch(arguments, L"/silent")) {
        CORVRemoveDlg dialog;
        dialog.DoModal();
        return false;
    }
    RunSilentRemoval(arguments);
    return false;
}

std::wstring CORVRemoveApp::ProfileKeyPath() const {
    return L"Software\\" + registryKey_ + L"\\" + WindowsPlatform::ExecutableBaseName();
}
