#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(TextTest, EmptyTextsConvertWithoutWindowsCalls) {
    SetLastError(12345);
    EXPECT_EQ(TranscodeU16ToU8(L""), "");
    EXPECT_EQ(TranscodeU8ToU16(""), L"");
    EXPECT_EQ(AnsiToUtf8(""), "");
    EXPECT_EQ(Utf8ToAnsi(""), "");
    EXPECT_EQ(GetLastError(), 12345u);
}

TEST(TextTest, StrictRoundTripKeepsEveryCharacter) {
    const std::wstring wide = L"C:\\Program Files\\Orvalis \u00e9\u4e2d \U0001F600 end";
    const std::string utf8 = TranscodeU16ToU8(wide);
    EXPECT_EQ(utf8, "C:\\Program Files\\Orvalis \xc3\xa9\xe4\xb8\xad \xf0\x9f\x98\x80 end");
    EXPECT_EQ(TranscodeU8ToU16(utf8), wide);
    // Embedded NULs are ordinary units: the output is exactly the converted text.
    EXPECT_EQ(TranscodeU16ToU8(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextTest, LoneSurrogateIsRejected) {
    const wchar_t loneHigh[] = {L'a', 0xD800, L'b'};
    try {
        TranscodeU16ToU8(std::wstring_view(loneHigh, 3));
        FAIL() << "no exception";
    } catch (const WindowsCharacterSetResult& e) {
        EXPECT_EQ(e.Operation(), "TranscodeU16ToU8");
        const std::string text(e.Description());
        EXPECT_EQ(text.rfind("WindowsCharacterSetResult: Error " + std::to_string(e.Code()) + " (", 0), 0u) << text;
        EXPECT_EQ(text.substr(text.size() - 21), ") in TranscodeU16ToU8") << text;
        EXPECT_STREQ(e.what(), text.c_str());
    }
    const wchar_t loneLow[] = {0xDC00};
    EXPECT_THROW(TranscodeU16ToU8(std::wstring_view(loneLow, 1)), WindowsCharacterSetResult);
}

TEST(TextTest, InvalidUtf8IsRejectedOnlyByTheStrictConversion) {
    const std::string bad("\xc3\x28", 2);
    try {
        TranscodeU8ToU16(bad);
        FAIL() << "no exception";
    } catch (const WindowsCharacterSetResult& e) {
        EXPECT_EQ(e.Code(), 1113u);  // ERROR_NO_UNICODE_TRANSLATION
        const std::string text(e.Description());
        EXPECT_EQ(text.rfind("WindowsCharacterSetResult: Error 1113 (", 0), 0u) << text;
        EXPECT_EQ(text.find("\r"), std::string::npos);
        EXPECT_EQ(text.substr(text.size() - 20), " in TranscodeU8ToU16") << text;
    }
    EXPECT_THROW(TranscodeU8ToU16("\xff"), WindowsCharacterSetResult);
    EXPECT_THROW(TranscodeU8ToU16("\xed\xa0\x80"), WindowsCharacterSetResult);  // encoded surrogate
    EXPECT_NO_THROW(Utf8ToAnsi(bad));
}

TEST(TextTest, AnsiConversionsReplaceWhatTheCodePageLacks) {
    EXPECT_EQ(Utf8ToAnsi("plain ascii"), "plain ascii");
    EXPECT_EQ(AnsiToUtf8("plain ascii"), "plain ascii");
    EXPECT_EQ(AnsiToUtf16("abc"), L"abc");
    const std::string ansi = Utf16ToAnsi(L"x\u4e2dy");
    ASSERT_EQ(ansi.size(), 3u);
    EXPECT_EQ(ansi[0], 'x');
    EXPECT_EQ(ansi[2], 'y');
}

TEST(TextTest, ExpandEnvironmentText) {
    wchar_t windows[MAX_PATH];
    ASSERT_NE(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    EXPECT_EQ(ExpandEnvironmentText("%SystemRoot%\\x"), TranscodeU16ToU8(windows) + "\\x");
    EXPECT_EQ(ExpandEnvironmentText("no references here"), "no references here");
    EXPECT_EQ(ExpandEnvironmentText("%ORV_NO_SUCH_VARIABLE%\\y"), "%ORV_NO_SUCH_VARIABLE%\\y");
    EXPECT_EQ(ExpandEnvironmentText(""), "");
    SetEnvironmentVariableW(L"ORV_TEST_VALUE", L"\u00e9t\u00e9");
    EXPECT_EQ(ExpandEnvironmentText("[%ORV_TEST_VALUE%]"), "[\xc3\xa9t\xc3\xa9]");
    SetEnvironmentVariableW(L"ORV_TEST_VALUE", nullptr);
}

}  // namespace
