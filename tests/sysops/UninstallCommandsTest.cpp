#include "sysops/UninstallCommands.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kMsiInstall = L"MsiExec.exe /I{A1B2C3D4-0000-1111-2222-333344445555}";
const std::wstring kMsiRemove = L"MsiExec.exe /X{A1B2C3D4-0000-1111-2222-333344445555}";
const std::wstring kSetup = L"\"C:\\Program Files (x86)\\InstallShield Installation Information\\{G}\\setup.exe\"";

TEST(UninstallCommandsTest, MsiExecIsACaseSensitiveSubstring) {
    EXPECT_TRUE(IsMsiExecCommand(kMsiInstall));
    EXPECT_TRUE(IsMsiExecCommand(L"C:\\Windows\\system32\\MsiExec.exe /X{G}"));
    EXPECT_FALSE(IsMsiExecCommand(L"msiexec.exe /X{G}"));
    EXPECT_FALSE(IsMsiExecCommand(L"MSIEXEC.EXE /X{G}"));
    EXPECT_FALSE(IsMsiExecCommand(kSetup));
}

TEST(UninstallCommandsTest, AgentRelayAndDeployTool) {
    EXPECT_EQ(MsiQuietCommand(kMsiRemove), kMsiRemove + L" /qn");
    EXPECT_EQ(MsiQuietCommand(kMsiInstall), kMsiInstall + L" /qn");  // "/I" stays for these
    EXPECT_EQ(InstallShieldResponseCommand(kSetup, L"C:\\Temp\\orv1A.tmp"),
              kSetup + L" -s --uninstallsilent -f1\"C:\\Temp\\orv1A.tmp\"");
}

TEST(UninstallCommandsTest, ConsoleReplacesOnlyTheFirstInstallOption) {
    EXPECT_EQ(ConsoleMsiCommand(kMsiInstall), kMsiRemove + L" /qn");
    EXPECT_EQ(ConsoleMsiCommand(kMsiRemove), kMsiRemove + L" /qn");
    EXPECT_EQ(ConsoleMsiCommand(L"MsiExec.exe /I{A} /I{B}"), L"MsiExec.exe /X{A} /I{B} /qn");
    EXPECT_EQ(ConsoleMsiCommand(L"MsiExec.exe /i{A}"), L"MsiExec.exe /i{A} /qn");
    EXPECT_EQ(InstallShieldUninstallCommand(kSetup), kSetup + L" /s /z\"uninstall\"");
}

TEST(UninstallCommandsTest, PlatformApiReplacesTheFirstInstallOptionAfterAppending) {
    EXPECT_EQ(PlatformApiMsiCommand(kMsiInstall), kMsiRemove + L" /qn");
    // "/I" without a brace is replaced too, and only the first one.
    EXPECT_EQ(PlatformApiMsiCommand(L"MsiExec.exe /I {G} /I"), L"MsiExec.exe /X {G} /I /qn");
    EXPECT_EQ(PlatformApiMsiCommand(L"MsiExec.exe /i{G}"), L"MsiExec.exe /i{G} /qn");
    EXPECT_EQ(PlatformApiResponseCommand(kSetup, L"C:\\Temp\\orv2B.tmp"), kSetup + L" -s -f1\"C:\\Temp\\orv2B.tmp\"");
}

TEST(UninstallCommandsTest, LoggingServiceHelperAndDlp) {
    EXPECT_EQ(LoggingServiceCommand(std::wstring(L"\"C:\\x\\uninst.exe\" /quiet"), kMsiRemove),
              L"\"C:\\x\\uninst.exe\" /quiet");
    EXPECT_EQ(LoggingServiceCommand(std::nullopt, kMsiRemove), kMsiRemove + L" /qn REBOOT=REALLYSUPPRESS");
    EXPECT_EQ(LoggingServiceCommand(std::wstring(), kMsiRemove), L"");  // an empty value is still the value
    EXPECT_EQ(ClientHelperRemoveCommand(L"\"C:\\Program Files\\H\\h.exe\""), L"\"C:\\Program Files\\H\\h.exe\" -remove");
    EXPECT_EQ(DlpControlCommand(L"C:\\Program Files (x86)\\Orvalis Enterprise\\ORV Client\\DLP\\ORVTightsealCtrl.exe"),
              L"\"C:\\Program Files (x86)\\Orvalis Enterprise\\ORV Client\\DLP\\ORVTightsealCtrl.exe\" -u");
}

}  // namespace
