#include "sysops/FileVersion.h"

#include "platform/Errors.h"
#include "platform/Text.h"
#include "support/LabPaths.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

namespace {

TEST(FileVersionTest, ReadsTheFileVersionOfTheFixedInfo) {
    EXPECT_EQ(GetFileVersionString(LabProgram(L"versioned.exe")), L"9.5.3.211");
    RecordingLog log;
    EXPECT_EQ(ReadFileVersion(LabProgram(L"versioned.exe"), log), std::optional<std::wstring>(L"9.5.3.211"));
    EXPECT_EQ(log.Text(), L"Trying to read the version of file \"" + LabProgram(L"versioned.exe") +
                              L"\"...file has version 9.5.3.211\r\n");
}

TEST(FileVersionTest, FileWithoutVersionResourceGivesTheErrorAndNoVersion) {
    const std::wstring path = LabProgram(L"standinuninstaller.exe");
    DWORD code = 0;
    try {
        GetFileVersionString(path);
    } catch (const Windows::Error& e) {
        code = e.Code();
    }
    ASSERT_NE(code, 0u);
    RecordingLog log;
    EXPECT_FALSE(ReadFileVersion(path, log).has_value());
    EXPECT_EQ(log.Text(), L"Trying to read the version of file \"" + path +
                              L"\"...file exists, but failed to read version: " +
                              TranscodeU8ToU16(std::string(Windows::Error(code).Description())) + L"\r\n");
}

TEST(FileVersionTest, MissingFileIsReportedAsNotFound) {
    const std::wstring path = LabProgram(L"no-such-file.dll");
    RecordingLog log;
    EXPECT_FALSE(ReadFileVersion(path, log).has_value());
    EXPECT_EQ(log.Text(), L"Trying to read the version of file \"" + path + L"\"...file not found\r\n");
}

}  // namespace
