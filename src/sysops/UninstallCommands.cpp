#include "sysops/UninstallCommands.h"

namespace {

std::wstring ReplaceFirst(std::wstring text, const std::wstring& from, const std::wstring& to) {
    const size_t at = text.find(from);
    if (at != std::wstring::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

bool IsMsiExecCommand(const std::wstring& uninstallString) {
    return uninstallString.find(L"MsiExec") != std::wstring::npos;
}

std::wstring MsiQuietCommand(const std::wstring& uninstallString) { return uninstallString + L" /qn"; }

std::wstring InstallShieldResponseCommand(const std::wstring& uninstallString, const std::wstring& responseFile) {
    return uninstallString + L" -s --uninstallsilent -f1\"" + responseFile + L"\"";
}

std::wstring ConsoleMsiCommand(const std::wstring& uninstallString) {
    return ReplaceFirst(uninstallString, L"/I{", L"/X{") + L" /qn";
}

std::wstring InstallShieldUninstallCommand(const std::wstring& uninstallString) {
    return uninstallString + L" /s /z\"uninstall\"";
}

std::wstring PlatformApiMsiCommand(const std::wstring& uninstallString) {
    return ReplaceFirst(uninstallString + L" /qn", L"/I", L"/X");
}

std::wstring PlatformApiResponseCommand(const std::wstring& uninstallString, const std::wstring& responseFile) {
    return uninstallString + L" -s -f1\"" + responseFile + L"\"";
}

std::wstring LoggingServiceCommand(const std::optional<std::wstring>& uninstallCmdLine,
                                   const std::wstring& uninstallString) {
    if (uninstallCmdLine) return *uninstallCmdLine;
    return uninstallString + L" /qn REBOOT=REALLYSUPPRESS";
}

std::wstring ClientHelperRemoveCommand(const std::wstring& imagePath) { return imagePath + L" -remove"; }

std::wstring DlpControlCommand(const std::wstring& controlProgram) {
    return L"\"" + controlProgram + L"\" -u";
}
