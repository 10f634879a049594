#include "platform/FileWriter.h"

#include "platform/Errors.h"
#include "platform/FileReadingPath.h"
#include "platform/TemporaryFile.h"
#include "platform/Text.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using WindowsPlatform::FileReadingPath;
using WindowsPlatform::FileWritingPath;

FileLocation Location(const std::wstring& path) { return FileLocation(TranscodeU16ToU8(path)); }

LONGLONG SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW((L"\\\\?\\" + path).c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

struct Failure {
    bool thrown = false;
    std::string className;
    DWORD code = 0;
    std::string description;
};

Failure FailureOf(const std::function<void()>& call) {
    Failure failure;
    try {
        call();
    } catch (const FileIOError& e) {
        failure = {true, e.ClassDisplayName(), e.Code(), std::string(e.Description())};
    }
    return failure;
}

TEST(FileWriterTest, OpeningForWritingCutsTheFileAndWritesFollowOnEachOther) {
    TempTree tree;
    tree.File(L"answer.txt", std::string(100, 'x').c_str());
    FileWritingPath file(Location(tree.Path(L"answer.txt")));
    EXPECT_EQ(SizeOf(tree.Path(L"answer.txt")), 0);
    FileWriter writer(file);
    writer.Write("", 0);
    EXPECT_EQ(SizeOf(tree.Path(L"answer.txt")), 0);
    writer.Write("0123456789");
    writer.Write("abcdefghij");
    EXPECT_EQ(writer.Position(), 20u);
    file.Flush();
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(SizeOf(tree.Path(L"answer.txt")), 20);
}

TEST(FileWriterTest, WriterStartsAtTheChosenPosition) {
    TempTree tree;
    FileWritingPath file(Location(tree.Path(L"new.txt")));
    FileWriter writer(file, 5);
    writer.Write("abc");
    file.Close();
    EXPECT_EQ(SizeOf(tree.Path(L"new.txt")), 8);
}

TEST(FileWriterTest, LongLocationIsOpenedThroughTheLongPathForm) {
    TempTree tree;
    const std::wstring folder = std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b');
    tree.Folder(folder);
    const std::wstring path = tree.Path(folder + L"\\file.txt");
    ASSERT_GE(path.size(), 259u);
    EXPECT_EQ(WindowsPath(Location(path)), L"\\\\?\\" + path);
    FileWritingPath file(Location(path));
    FileWriter(file).Write("long");
    file.Close();
    EXPECT_EQ(SizeOf(path), 4);
}

TEST(FileWriterTest, DevicesAreRefusedAsNotBeingDiskFiles) {
    const Failure failure = FailureOf([] { FileWritingPath file{FileLocation("NUL")}; });
    ASSERT_TRUE(failure.thrown);
    EXPECT_EQ(failure.className, "class FilePermissionError");
    EXPECT_EQ(failure.code, 5u);
    // CON opens only with a console; without one (tests under Wine) the
    // open itself fails. Either way it is never written as a file.
    const Failure console = FailureOf([] { FileWritingPath file{FileLocation("CON")}; });
    EXPECT_TRUE(console.thrown);
    if (console.code == 5) {
        EXPECT_EQ(console.className, "class FilePermissionError");
    }
}

TEST(FileWriterTest, MissingFolderOrFileThrowsWithTheLocation) {
    TempTree tree;
    const std::string missing = TranscodeU16ToU8(tree.Path(L"no-folder\\file.txt"));
    // Windows reports 3 (DirectoryNotFoundError), Wine 2 (FileNotFoundError).
    const Failure failure = FailureOf([&] { FileWritingPath file{FileLocation(missing)}; });
    ASSERT_TRUE(failure.thrown);
    EXPECT_EQ(failure.className, failure.code == 3 ? "class DirectoryNotFoundError" : "class FileNotFoundError");
    EXPECT_EQ(failure.description.rfind("File error \"" + failure.className + "\" on \"" + missing + "\"", 0), 0u)
        << failure.description;

    FileReadingPath reading;
    EXPECT_THROW(reading.Open(Location(tree.Path(L"absent.txt")), false), FileNotFoundError);
    tree.File(L"present.txt");
    reading.Open(Location(tree.Path(L"present.txt")), true);
    EXPECT_TRUE(reading.IsOpen());
}

TEST(TemporaryFileTest, LastCopyDeletesTheFileEvenWhenReadOnly) {
    std::wstring path;
    {
        TemporaryFile file(kTemporaryFilePrefix);
        path = TranscodeU8ToU16(file.Location().Text());
        wchar_t temp[MAX_PATH];
        const std::wstring folder(temp, GetTempPathW(MAX_PATH, temp));
        EXPECT_EQ(path.substr(0, folder.size() + 3), folder + L"orv");
        EXPECT_EQ(path.substr(path.size() - 4), L".tmp");
        EXPECT_EQ(SizeOf(path), 0);
        {
            TemporaryFile copy = file;
            EXPECT_EQ(copy.Location().Text(), file.Location().Text());
        }
        EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(TemporaryFileTest, FileThatIsAlreadyGoneIsNoError) {
    TemporaryFile file(kTemporaryFilePrefix);
    ASSERT_TRUE(DeleteFileW(TranscodeU8ToU16(file.Location().Text()).c_str()));
}

TEST(DeleteLocationTest, DeletesReadOnlyFilesAndEmptyFoldersAndIgnoresMissingOnes) {
    TempTree tree;
    tree.File(L"ro.txt", "x", FILE_ATTRIBUTE_READONLY);
    tree.Folder(L"empty");
    tree.File(L"full\\x.txt");
    DeleteLocation(Location(tree.Path(L"ro.txt")));
    DeleteLocation(Location(tree.Path(L"empty")));
    DeleteLocation(Location(tree.Path(L"missing")));
    EXPECT_FALSE(tree.Exists(L"ro.txt"));
    EXPECT_FALSE(tree.Exists(L"empty"));
    EXPECT_THROW(DeleteLocation(Location(tree.Path(L"full"))), FileIOError);
    EXPECT_TRUE(tree.Exists(L"full\\x.txt"));
}

}  // namespace
