#pragma once
// The application object: decides at start-up between the dialog and the
// silent remover.

#include <string>

class CORVRemoveApp {
public:
    // argumentText: the command line after the program name, as one string.
    explicit CORVRemoveApp(std::wstring argumentText) : argumentText_(std::move(argumentText)) {}

    // Runs the dialog or the silent removal; returns false in every case so
    // that no message loop follows.
    bool InitInstance();

    // The process exit code: 0 after the dialog, the outcome of a silent
    // run (SilentExitCode) otherwise.
    int ExitCode() const noexcept { return exitCode_; }

    // Where per-user settings of this program live under HKEY_CURRENT_USER.
    std::wstring ProfileKeyPath() const;

private:
    void SetRegistryKey(const wchar_t* company) { registryKey_ = company; }

    std::wstring argumentText_;
    std::wstring registryKey_;
    int exitCode_ = 0;
};
