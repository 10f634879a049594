// The lab's stand-in for the suite's InstallShield setups and for the
// client helper. What it belongs to and what it removes is in the manifest
// beside it (setup.exe -> setup.lab); every run is logged to
// C:\lab\setup-runs.log.
//
// As an InstallShield setup ("role=setup") it accepts exactly the command
// lines the remover builds from its uninstall string:
//   "<setup.exe>" -s --uninstallsilent -f1"<response file>"   (form f1)
//   "<setup.exe>" /s /z"uninstall"                            (form silent)
// and for form f1 the response file must hold exactly the bytes of the
// manifest. Then it stops and deletes the product's services, deletes its
// folders and keys and, last, its Uninstall entry; a finisher process
// removes the setup's own folder once it has ended. The manifest can make
// it leave everything and fail, end with a chosen exit code, or leave the
// Uninstall entry to the finisher, a child that removes it a chosen time
// after the setup has ended.
//
// The platform API's setup (form guid) is called
//   "<setup.exe>" -s -f1"<response file>"
// with a response file that holds the dialog answers keyed by the product
// code, which the manifest gives byte for byte.
//
// As the client helper ("role=helper") it runs as the helper's service when
// started without arguments, and removes its service and key with
// " -remove". As DLP's control program ("role=control") it takes " -u" and
// removes the services, folders and keys of its manifest, not the folder it
// runs from. As a bystander's uninstaller ("role=bystander") it only logs.

#include "Finisher.h"
#include "HelperService.h"
#include "LabError.h"
#include "LabProcess.h"
#include "UninstallRun.h"

#include <cstdio>

int wmain() {
    const std::wstring commandLine = GetCommandLineW();
    try {
        const std::wstring tail = LabSetup::CommandTail(commandLine);
        if (LabSetup::IsFinisherCommand(tail)) return static_cast<int>(LabSetup::RunFinisher(commandLine));
        const std::wstring manifestPath = Lab::ManifestPathFor(Lab::ThisProgram());
        const Lab::SetupManifest manifest = Lab::ReadManifest(manifestPath);
        if (manifest.role == L"helper" && tail.empty()) return static_cast<int>(LabSetup::RunHelperService());
        if (manifest.role == L"bystander") {
            Lab::AppendSetupRun({L"bystander", manifest.product, GetCurrentProcessId(), L"none", L"ran", 0,
                                 commandLine});
            return 0;
        }
        return static_cast<int>(LabSetup::RunUninstall(manifest, manifestPath, commandLine));
    } catch (const std::exception& e) {
        fprintf(stderr, "labsetup: %s\n", e.what());
        try {
            Lab::AppendSetupRun({L"unknown", L"", GetCurrentProcessId(), L"none", L"failed", 1, commandLine});
        } catch (...) {
        }
        return 1;
    }
}
