// The log file of unattended runs: UTF-8 with a byte-order mark, CR LF line
// ends, every piece on disk as soon as it is written.

#include "log/FileLog.h"
#include "platform/Errors.h"
#include "support/FileBytes.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

namespace {

const std::string kMark = "\xEF\xBB\xBF";

TEST(FileLogTest, BannersAndStepLinesArriveAsUtf8WithTheirLineEnds) {
    TempTree tree;
    const std::wstring path = tree.Path(L"run.log");
    auto log = Remove::FileLog::Create(path);
    log->WriteDetectionBanner(L"Agent");
    log->Write(L"Checking for file \"C:\\Programme\\Größe ✓\"...");
    log->Write(L"found");
    log->EndLine();
    EXPECT_EQ(ReadFileBytes(path), kMark +
                                       "\r\n**************************************************\r\n"
                                       "* Detecting Agent\r\n**************************************************\r\n"
                                       "Checking for file \"C:\\Programme\\Gr\xC3\xB6\xC3\x9F" "e \xE2\x9C\x93\"...found\r\n");
    EXPECT_FALSE(log->WriteFailed());
}

TEST(FileLogTest, EverythingWrittenIsOnDiskWhileTheLogIsStillOpen) {
    TempTree tree;
    const std::wstring path = tree.Path(L"run.log");
    auto log = Remove::FileLog::Create(path);
    EXPECT_EQ(ReadFileBytes(path), kMark);
    log->Write(L"Deleting registry key \"HKLM\\SOFTWARE\\Orvalis\"...");
    // A run killed now keeps the open step line.
    EXPECT_EQ(ReadFileBytes(path), kMark + "Deleting registry key \"HKLM\\SOFTWARE\\Orvalis\"...");
}

TEST(FileLogTest, LoneLineFeedsBecomeCrLfAndPairsSplitAcrossWritesStayPairs) {
    TempTree tree;
    const std::wstring path = tree.Path(L"run.log");
    auto log = Remove::FileLog::Create(path);
    log->Write(L"To remove components silently\nthe /silent switch\n");
    log->Write(L"a\r");
    log->Write(L"\nb\r\n");
    log->Write(L"");
    EXPECT_EQ(ReadFileBytes(path), kMark + "To remove components silently\r\nthe /silent switch\r\na\r\nb\r\n");
}

TEST(FileLogTest, SurrogatePairSplitAcrossWritesAndUnpairedHalvesAreKept) {
    TempTree tree;
    const std::wstring path = tree.Path(L"run.log");
    {
        auto log = Remove::FileLog::Create(path);
        log->Write(L"key \xD83D");        // the first half of U+1F600 ...
        log->Write(L"\xDE00 and \xDC00");  // ... its second half, then a lone low half
        log->Write(L" end \xD800");        // a lone high half at the very end
    }
    EXPECT_EQ(ReadFileBytes(path),
              kMark + "key \xF0\x9F\x98\x80 and \xEF\xBF\xBD end \xEF\xBF\xBD");
}

TEST(FileLogTest, CreateThrowsWhereNoFileCanBeMade) {
    TempTree tree;
    tree.Folder(L"folder");
    tree.File(L"file");
    for (const std::wstring& path : {tree.Path(L"folder"), tree.Path(L"missing\\run.log"), tree.Path(L"file\\run.log"),
                                     std::wstring()}) {
        EXPECT_THROW(Remove::FileLog::Create(path), Windows::Error) << path;
    }
}

TEST(FileLogTest, AFailedWriteIsRememberedNotThrown) {
    TempTree tree;
    tree.File(L"read-only handle");
    HANDLE file = CreateFileW(tree.Path(L"read-only handle").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    {
        Remove::FileLog log(file);
        log.Write(L"lost");
        EXPECT_TRUE(log.WriteFailed());
        log.Write(L"also lost");
        EXPECT_TRUE(log.WriteFailed());
    }
    // The borrowed handle is still the caller's.
    EXPECT_TRUE(CloseHandle(file));
}

}  // namespace
