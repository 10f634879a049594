#pragma once
// Every command line the program hands to a component's own uninstaller.
// "uninstallString" is the registry's UninstallString (or UninstallCmdLine),
// used verbatim with its own quoting.

#include <optional>
#include <string>

// Whether an uninstall string runs the Windows Installer engine: contains
// "MsiExec" (case-sensitive, anywhere).
bool IsMsiExecCommand(const std::wstring& uninstallString);

// Agent, relay and client deploy tool: Windows Installer runs quietly; an
// InstallShield engine is driven by the fixed response file.
std::wstring MsiQuietCommand(const std::wstring& uninstallString);  // + " /qn"
std::wstring InstallShieldResponseCommand(const std::wstring& uninstallString, const std::wstring& responseFile);

// Console with a Windows Installer string: the first "/I{" becomes "/X{".
std::wstring ConsoleMsiCommand(const std::wstring& uninstallString);
// Console (other strings), server and installation generator.
std::wstring InstallShieldUninstallCommand(const std::wstring& uninstallString);

// Platform API: " /qn" appended, then the first "/I" becomes "/X"; other
// strings get the response file keyed by the product GUID.
std::wstring PlatformApiMsiCommand(const std::wstring& uninstallString);
std::wstring PlatformApiResponseCommand(const std::wstring& uninstallString, const std::wstring& responseFile);

// Client logging service: its own "UninstallCmdLine" when there is one.
std::wstring LoggingServiceCommand(const std::optional<std::wstring>& uninstallCmdLine,
                                   const std::wstring& uninstallString);

// The client helper removes itself: its service ImagePath + " -remove".
std::wstring ClientHelperRemoveCommand(const std::wstring& imagePath);

// DLP's control program + " -u". The path is quoted: an unquoted path with
// blanks would let CreateProcessW start C:\Program.exe and the like.
std::wstring DlpControlCommand(const std::wstring& controlProgram);
