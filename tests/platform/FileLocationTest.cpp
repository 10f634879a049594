#include "platform/FileLocation.h"

#include "platform/Errors.h"
#include "platform/FileErrorMap.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// The class display name of what ThrowFileError throws, "" when nothing.
std::string Thrown(FileErrorMap map, DWORD code) {
    try {
        ThrowFileError(map, code, FileLocation("C:\\x"));
    } catch (const FileIOError& e) {
        EXPECT_EQ(e.Code(), code);
        EXPECT_EQ(e.FirstPath(), "C:\\x");
        return e.ClassDisplayName();
    }
    return "";
}

std::string ThrownBy(const std::function<void()>& call) {
    try {
        call();
    } catch (const FileIOError& e) {
        return e.ClassDisplayName();
    }
    return "";
}

TEST(FileLocationTest, ShortPathsAreConvertedUnchanged) {
    EXPECT_EQ(WindowsPath(FileLocation("C:/a/b\xC3\xA9.txt")), L"C:/a/b\u00E9.txt");
    const std::string justBelow = "C:\\" + std::string(255, 'a');  // 258 bytes
    EXPECT_EQ(WindowsPath(FileLocation(justBelow)), std::wstring(justBelow.begin(), justBelow.end()));
}

TEST(FileLocationTest, LongAbsolutePathsGetTheLongPathPrefix) {
    const std::string tail = std::string(150, 'a') + "/" + std::string(150, 'b');
    EXPECT_EQ(WindowsPath(FileLocation("C:\\" + tail)),
              L"\\\\?\\C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b'));
    EXPECT_EQ(WindowsPath(FileLocation("\\\\server\\share\\" + tail)),
              L"\\\\?\\UNC\\server\\share\\" + std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b'));
    // A folder path is long from 248 characters on.
    const std::string folder = "C:\\" + std::string(250, 'f');
    EXPECT_EQ(WindowsPath(FileLocation(folder)), std::wstring(folder.begin(), folder.end()));
    EXPECT_EQ(WindowsPath(FileLocation(folder), kFolderPathLimit), L"\\\\?\\" + std::wstring(folder.begin(), folder.end()));
}

TEST(FileLocationTest, LongPathsThatWindowsMustResolveStayWithoutPrefix) {
    const std::string name(300, 'n');
    for (const std::string& path : {"C:\\a\\..\\" + name, "C:\\" + name + "\\.\\x", "C:\\" + name + "\\..",
                                    "C:/" + name + "/.", "relative\\" + name, "\\\\?\\C:\\" + name}) {
        std::wstring expected(path.begin(), path.end());
        if (path[1] == ':') std::replace(expected.begin(), expected.end(), L'/', L'\\');
        EXPECT_EQ(WindowsPath(FileLocation(path)), expected) << path.substr(0, 12);
    }
}

TEST(FileLocationTest, ParentLocationDropsTheLastComponent) {
    EXPECT_EQ(ParentLocation(FileLocation("C:\\a\\b")).Text(), "C:\\a");
    EXPECT_EQ(ParentLocation(FileLocation("C:\\a")).Text(), "C:");
    EXPECT_EQ(ParentLocation(FileLocation("C:/a/b")).Text(), "C:/a");
    EXPECT_EQ(ParentLocation(FileLocation("\\a")).Text(), "\\");
    EXPECT_EQ(ParentLocation(FileLocation("\\\\server\\share\\x")).Text(), "\\\\server\\share");
    for (const char* root : {"C:\\", "C:", "d:/", "\\\\server\\share", "\\\\server\\share\\", "\\", "\\\\?\\C:\\"})
        EXPECT_EQ(ThrownBy([&] { ParentLocation(FileLocation(root)); }), "class RootHasNoParent") << root;
    EXPECT_EQ(ThrownBy([] { ParentLocation(FileLocation("")); }), "class EmptyFileLocationError");
    EXPECT_EQ(ThrownBy([] { ParentLocation(FileLocation("name.txt")); }), "class InvalidFileLocation");
}

TEST(FileErrorMapTest, OpenCloseMap) {
    const FileErrorMap map = FileErrorMap::OpenClose;
    EXPECT_EQ(Thrown(map, 0), "");
    for (DWORD code : {2, 6, 18, 107}) EXPECT_EQ(Thrown(map, code), "class FileNotFoundError") << code;
    for (DWORD code : {3, 15, 53, 123, 206, 267}) EXPECT_EQ(Thrown(map, code), "class DirectoryNotFoundError") << code;
    for (DWORD code : {5, 19, 80, 183, 999}) EXPECT_EQ(Thrown(map, code), "class FilePermissionError") << code;
    for (DWORD code : {33, 108, 167}) EXPECT_EQ(Thrown(map, code), "class FileLockError") << code;
    for (DWORD code : {39, 112}) EXPECT_EQ(Thrown(map, code), "class DiskFullError") << code;
    for (DWORD code : {1, 32, 38, 131}) EXPECT_EQ(Thrown(map, code), "class FileIOError") << code;
}

TEST(FileErrorMapTest, FlushItemAndWriteMapsDifferWhereTheyShould) {
    EXPECT_EQ(Thrown(FileErrorMap::Flush, 80), "class FileFoundError");
    EXPECT_EQ(Thrown(FileErrorMap::Flush, 183), "class FileFoundError");
    EXPECT_EQ(Thrown(FileErrorMap::Flush, 2), "class FileNotFoundError");
    for (DWORD code : {24, 25, 27, 30, 131, 132}) {
        EXPECT_EQ(Thrown(FileErrorMap::Item, code), "class FileSeekError") << code;
        EXPECT_EQ(Thrown(FileErrorMap::Write, code), "class FileSeekError") << code;
    }
    EXPECT_EQ(Thrown(FileErrorMap::Item, 38), "");
    EXPECT_EQ(Thrown(FileErrorMap::Item, 5), "class FilePermissionError");
    EXPECT_EQ(Thrown(FileErrorMap::Item, 3), "class DirectoryNotFoundError");
    for (DWORD code : {32, 33, 108, 167}) EXPECT_EQ(Thrown(FileErrorMap::Write, code), "class FilePermissionError");
    EXPECT_EQ(Thrown(FileErrorMap::Write, 38), "class EndOfFileError");
    EXPECT_EQ(Thrown(FileErrorMap::Write, 112), "class DiskFullError");
    for (DWORD code : {2, 3, 5, 183}) EXPECT_EQ(Thrown(FileErrorMap::Write, code), "class FileIOError") << code;
    EXPECT_EQ(Thrown(FileErrorMap::Write, 0), "");
}

}  // namespace
