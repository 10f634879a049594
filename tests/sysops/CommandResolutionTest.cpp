#include "sysops/CommandResolution.h"

#include "support/TempTree.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    return std::wstring(buffer, GetSystemDirectoryW(buffer, MAX_PATH));
}

TEST(CommandToStartTest, ProgramsThatNameNoFolderComeFromTheSystemFolder) {
    const std::wstring msiexec = L"\"" + SystemFolder() + L"\\MsiExec.exe\"";
    EXPECT_EQ(CommandToStart(L"MsiExec.exe /X{0D1E5F2A-0000-4B5C-9D8E-0123456789AB} /qn"),
              msiexec + L" /X{0D1E5F2A-0000-4B5C-9D8E-0123456789AB} /qn");
    EXPECT_EQ(CommandToStart(L"\"MsiExec.exe\" /X{A}"), msiexec + L" /X{A}");
    EXPECT_EQ(CommandToStart(L"  MsiExec.exe"), msiexec);
    // CreateProcessW adds ".exe" to a name without an extension.
    EXPECT_EQ(CommandToStart(L"msiexec /x"), L"\"" + SystemFolder() + L"\\msiexec.exe\" /x");
    // Found nowhere: a path in the System folder that fails to start, not a
    // search through the program's own folder.
    EXPECT_EQ(CommandToStart(L"orv-no-such-tool.exe -u"), L"\"" + SystemFolder() + L"\\orv-no-such-tool.exe\" -u");
}

TEST(CommandToStartTest, UnquotedPathsWithBlanksStartTheWholeProgramPath) {
    TempTree tree;
    tree.File(L"Orv Tools\\helper.exe", "MZ");
    tree.File(L"Orv.exe", "MZ");  // what CreateProcessW would try first
    const std::wstring helper = tree.Path(L"Orv Tools\\helper.exe");
    EXPECT_EQ(CommandToStart(helper + L" -remove"), L"\"" + helper + L"\" -remove");
    EXPECT_EQ(CommandToStart(helper), L"\"" + helper + L"\"");
    EXPECT_EQ(CommandToStart(helper + L" -log \"x.exe\" run.exe"), L"\"" + helper + L"\" -log \"x.exe\" run.exe");

    // A program that is gone is quoted all the same, so that nothing shorter starts.
    const std::wstring gone = tree.Path(L"Orv Tools\\gone.exe");
    EXPECT_EQ(CommandToStart(gone + L" -remove"), L"\"" + gone + L"\" -remove");
    const std::wstring noExtension = tree.Path(L"Orv Tools\\gone -remove");
    EXPECT_EQ(CommandToStart(noExtension), L"\"" + noExtension + L"\"");
}

TEST(CommandToStartTest, CommandsThatNameTheirProgramExactlyStayAsTheyAre) {
    TempTree tree;
    tree.File(L"setup.exe", "MZ");
    const std::wstring commands[] = {
        L"\"" + tree.Path(L"Orv Tools\\helper.exe") + L"\" -remove", tree.Path(L"setup.exe") + L" /s /z\"uninstall\"",
        tree.Path(L"setup.exe"), L"\"C:\\Program Files (x86)\\Orvalis Enterprise\\ORV Client\\DLP\\ctrl.exe\" -u"};
    for (const auto& command : commands) EXPECT_EQ(CommandToStart(command), command);
}

}  // namespace
