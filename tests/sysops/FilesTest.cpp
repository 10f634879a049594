#include "sysops/Files.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/Text.h"
#include "support/LabPaths.h"
#include "support/PendingRestartDeletions.h"
#include "support/RecordingLog.h"
#include "support/TempTree.h"
#include "sysops/FileAttributeQuery.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using WindowsPlatform::ScopedFault;
using WindowsPlatform::ScopedFileAttributeOverride;

std::wstring WindowsErrorText(DWORD code) { return L"Windows Error: " + TranscodeU8ToU16(SystemMessageText(code)); }

std::wstring Prefixed(const std::wstring& path) { return L"\\\\?\\" + path; }

std::wstring DeletingLine(const std::wstring& path) { return L"Deleting directory \"" + path + L"\"..."; }

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool StartsWith(const std::wstring& text, const std::wstring& head) { return text.compare(0, head.size(), head) == 0; }

// Reports the paths that end with one of the names as reparse points, and
// keeps every path it was asked about.
class ReparseMarks {
public:
    explicit ReparseMarks(std::vector<std::wstring> names)
        : names_(std::move(names)), override_([this](const std::wstring& path, DWORD attributes) {
              queried.push_back(path);
              if (attributes == INVALID_FILE_ATTRIBUTES) return attributes;
              for (const auto& name : names_)
                  if (EndsWith(path, L"\\" + name)) return attributes | FILE_ATTRIBUTE_REPARSE_POINT;
              return attributes;
          }) {}

    std::vector<std::wstring> queried;

private:
    std::vector<std::wstring> names_;
    ScopedFileAttributeOverride override_;
};

TEST(FileExistsTest, FindsFilesAndFoldersAlike) {
    TempTree tree;
    tree.File(L"a.txt");
    RecordingLog log;
    EXPECT_TRUE(FileExists(tree.Path(L"a.txt"), log));
    EXPECT_TRUE(FileExists(tree.Root(), log));
    EXPECT_FALSE(FileExists(tree.Path(L"missing"), log));
    EXPECT_EQ(log.Text(), L"Checking for file \"" + tree.Path(L"a.txt") + L"\"...found\r\n" +
                              L"Checking for file \"" + tree.Root() + L"\"...found\r\n" + L"Checking for file \"" +
                              tree.Path(L"missing") + L"\"...not found\r\n");
}

TEST(DeleteDirectoryTest, MissingFolderWritesNothingAndSucceeds) {
    TempTree tree;
    RecordingLog log;
    EXPECT_TRUE(DeleteDirectory(tree.Path(L"missing"), log));
    EXPECT_TRUE(log.pieces.empty());
}

TEST(DeleteDirectoryTest, RemovesReadOnlyFilesNestedFoldersAndPathsBeyondMaxPath) {
    TempTree tree;
    tree.File(L"top.txt", "top", FILE_ATTRIBUTE_READONLY);
    tree.File(L"a\\b\\c\\inner.txt");
    tree.Folder(L"a\\empty");
    std::wstring deep = L"deep";
    while (tree.Path(deep).size() < MAX_PATH + 40) deep += L"\\" + std::wstring(50, L'd');
    tree.File(deep + L"\\bottom.txt", "bottom", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_GT(tree.Path(deep + L"\\bottom.txt").size(), static_cast<size_t>(MAX_PATH));

    RecordingLog log;
    EXPECT_TRUE(DeleteDirectory(tree.Root(), log));
    EXPECT_EQ(log.Text(), DeletingLine(tree.Root()) + L"done\r\n");
    EXPECT_FALSE(tree.Exists(L""));
}

TEST(DeleteDirectoryTest, FileHeldOpenWithoutDeleteSharingIsLeftToTheRestartWithItsFolders) {
    ScopedPendingRestartDeletions pending;
    TempTree tree;
    tree.File(L"held.txt");
    tree.File(L"free.txt");
    tree.File(L"sub\\free.txt");
    const std::wstring tag = std::to_wstring(GetCurrentProcessId());
    const std::wstring readyName = L"ORVHoldReady" + tag, doneName = L"ORVHoldDone" + tag;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, doneName.c_str());
    std::wstring command = L"\"" + LabProgram(L"standinuninstaller.exe") + L"\" --hold \"" + tree.Path(L"held.txt") +
                           L"\" " + readyName + L" " + doneName;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION holder{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &holder));
    const bool holding = WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0;

    RecordingLog log;
    const bool deleted = DeleteDirectory(tree.Root(), log);

    SetEvent(done);
    WaitForSingleObject(holder.hProcess, 10000);
    for (HANDLE handle : {holder.hProcess, holder.hThread, ready, done}) CloseHandle(handle);

    ASSERT_TRUE(holding);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(log.Text(), DeletingLine(tree.Root()) + L"scheduled for deletion at the next restart, in use: \"" +
                              tree.Path(L"held.txt") + L"\"\r\n");
    EXPECT_TRUE(tree.Exists(L"held.txt"));
    // Whatever could go went; the file first, then its folder.
    EXPECT_FALSE(tree.Exists(L"free.txt"));
    EXPECT_FALSE(tree.Exists(L"sub"));
    EXPECT_EQ(pending.AddedDeletions(),
              (std::vector<std::wstring>{L"\\??\\" + tree.Path(L"held.txt"), L"\\??\\" + tree.Root()}));
    // From now on the tree counts as gone.
    RecordingLog later;
    EXPECT_FALSE(FileExists(tree.Root(), later));
    EXPECT_EQ(later.Text(), L"Checking for file \"" + tree.Root() + L"\"...not found (deleted at the next restart)\r\n");
    EXPECT_TRUE(DeleteDirectory(tree.Root(), later));
}

TEST(DeleteDirectoryTest, PathNamingAFileFailsWhileListing) {
    TempTree tree;
    tree.File(L"plain.txt");
    RecordingLog log;
    EXPECT_FALSE(DeleteDirectory(tree.Path(L"plain.txt"), log));
    // The code differs: Windows says 267 (not a folder), Wine 123.
    const std::wstring text = log.Text();
    EXPECT_TRUE(StartsWith(text, DeletingLine(tree.Path(L"plain.txt")) + L"Windows Error: ")) << text;
    EXPECT_TRUE(EndsWith(text, L"...in call to RemoveDirectory while looping files for \"" +
                                   Prefixed(tree.Path(L"plain.txt")) + L"\"\r\n"))
        << text;
    EXPECT_TRUE(tree.Exists(L"plain.txt"));
}

TEST(DeleteDirectoryTest, DotDotSegmentsAreResolvedSoTheFolderFoundIsTheFolderDeleted) {
    TempTree tree;
    tree.File(L"ORV Client\\client.exe");
    tree.File(L"ORV A2A\\ORVA2ADLL.dll");
    const std::wstring sibling = tree.Path(L"ORV Client\\..\\ORV A2A");
    RecordingLog log;
    EXPECT_TRUE(FileExists(sibling, log));
    EXPECT_TRUE(DeleteDirectory(sibling, log));
    EXPECT_TRUE(EndsWith(log.Text(), DeletingLine(sibling) + L"done\r\n")) << log.Text();
    EXPECT_FALSE(tree.Exists(L"ORV A2A"));
    EXPECT_TRUE(tree.Exists(L"ORV Client\\client.exe"));
}

TEST(DeleteDirectoryTest, FolderLinkIsRemovedAsALinkWithoutLookingInside) {
    TempTree tree;
    tree.File(L"keep\\file.txt");
    tree.Folder(L"keep\\link");
    ReparseMarks marks({L"link"});
    RecordingLog log;
    EXPECT_TRUE(DeleteDirectory(tree.Root(), log));
    EXPECT_EQ(log.Text(), DeletingLine(tree.Root()) + L"done\r\n");
    EXPECT_FALSE(tree.Exists(L""));
    for (const auto& path : marks.queried) EXPECT_FALSE(StartsWith(path, Prefixed(tree.Path(L"keep\\link\\"))));
}

TEST(DeleteDirectoryTest, FolderLinkTargetIsNeverTouched) {
    // Stands for a link whose target holds a file: the file is reached only
    // through the link, so a deletion that lists the link would delete it.
    TempTree tree;
    tree.File(L"link\\target.txt");
    ReparseMarks marks({L"link"});
    RecordingLog log;
    EXPECT_FALSE(DeleteDirectory(tree.Root(), log));
    EXPECT_TRUE(tree.Exists(L"link\\target.txt"));
    EXPECT_EQ(log.Text(), DeletingLine(tree.Root()) + WindowsErrorText(ERROR_DIR_NOT_EMPTY) +
                              L"...in call to RemoveDirectory for \"" + Prefixed(tree.Path(L"link")) + L"\"\r\n");
}

TEST(DeleteDirectoryTest, FileLinkIsLeftAloneSoItsFolderStays) {
    TempTree tree;
    tree.File(L"sub\\file.lnk");
    tree.File(L"sub\\other.txt");
    ReparseMarks marks({L"file.lnk"});
    RecordingLog log;
    EXPECT_FALSE(DeleteDirectory(tree.Root(), log));
    EXPECT_TRUE(tree.Exists(L"sub\\file.lnk"));
    EXPECT_FALSE(tree.Exists(L"sub\\other.txt"));
    EXPECT_EQ(log.Text(), DeletingLine(tree.Root()) + WindowsErrorText(ERROR_DIR_NOT_EMPTY) +
                              L"...in call to RemoveDirectory for \"" + Prefixed(tree.Path(L"sub")) + L"\"\r\n");
}

TEST(DeleteFileForcedTest, ReadOnlyFileIsDeletedAndAMissingOneAfterTheGrantCounts) {
    TempTree tree;
    tree.File(L"ro.txt", "x", FILE_ATTRIBUTE_READONLY);
    RecordingLog log;
    EXPECT_TRUE(DeleteFileForced(Prefixed(tree.Path(L"ro.txt")), log));
    EXPECT_FALSE(tree.Exists(L"ro.txt"));
    EXPECT_TRUE(log.pieces.empty());
}

TEST(DeleteFileForcedTest, FailuresNameTheCallAndThePath) {
    TempTree tree;
    tree.File(L"ro.txt", "x", FILE_ATTRIBUTE_READONLY);
    tree.File(L"rw.txt");
    const std::wstring readOnly = tree.Path(L"ro.txt"), writable = tree.Path(L"rw.txt");
    RecordingLog log;
    {
        ScopedFault fault("SetFileAttributesW", ERROR_ACCESS_DENIED);
        EXPECT_FALSE(DeleteFileForced(readOnly, log));
    }
    {
        ScopedFault fault("DeleteFileW", ERROR_ACCESS_DENIED);
        EXPECT_FALSE(DeleteFileForced(writable, log));
    }
    EXPECT_EQ(log.Text(), WindowsErrorText(ERROR_ACCESS_DENIED) +
                              L"...error occured while trying to remove read only attribute of file \"" + readOnly +
                              L"\"\r\n" + WindowsErrorText(ERROR_ACCESS_DENIED) +
                              L"...error occured while trying to delete file \"" + writable + L"\"\r\n");
    EXPECT_TRUE(tree.Exists(L"ro.txt"));
    EXPECT_TRUE(tree.Exists(L"rw.txt"));
}

TEST(GrantFileAccessTest, RewritesTheDaclWhenDeleteIsRefusedAndWritesNothing) {
    TempTree tree;
    tree.File(L"locked.txt");
    ScopedFault refused("CreateFileW/DELETE", ERROR_ACCESS_DENIED);
    RecordingLog log;
    EXPECT_TRUE(DeleteFileForced(tree.Path(L"locked.txt"), log));
    EXPECT_TRUE(log.pieces.empty());
    EXPECT_FALSE(tree.Exists(L"locked.txt"));
}

TEST(GrantFileAccessTest, FailedRecoveryEndsTheTreeDeletionWithTheOwnerLine) {
    TempTree tree;
    tree.File(L"sub\\locked.txt");
    ScopedFault refused("CreateFileW/DELETE", ERROR_ACCESS_DENIED);
    ScopedFault dacl("SetNamedSecurityInfoW/DACL", ERROR_ACCESS_DENIED);
    ScopedFault owner("SetNamedSecurityInfoW/OWNER", ERROR_ACCESS_DENIED);
    RecordingLog log;
    EXPECT_FALSE(DeleteDirectory(tree.Root(), log));
    EXPECT_EQ(log.Text(), DeletingLine(tree.Root()) + L"error changing object owner: Windows Error 0x5: " +
                              TranscodeU8ToU16(SystemMessageText(ERROR_ACCESS_DENIED)) +
                              L"...error occurred while granting access to file \"" + Prefixed(tree.Root()) +
                              L"\"\r\n");
    EXPECT_TRUE(tree.Exists(L"sub\\locked.txt"));
}

}  // namespace
