#include "app/ORVRemoveApp.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    CORVRemoveApp app(commandLine != nullptr ? commandLine : L"");
    app.InitInstance();
    return app.ExitCode();
}
