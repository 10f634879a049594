#include "log/Log.h"
#include "platform/Errors.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const std::wstring kStars(50, L'*');
const std::wstring kCrosses(50, L'x');

TEST(LogTest, BannersAreEightPiecesInOrder) {
    RecordingLog log;
    log.WriteDetectionBanner(L"Stennet Orvalis Client");
    EXPECT_EQ(log.pieces, (std::vector<std::wstring>{L"\r\n", kStars, L"\r\n", L"* Detecting ",
                                                      L"Stennet Orvalis Client", L"\r\n", kStars, L"\r\n"}));

    RecordingLog removal;
    removal.WriteRemovalBanner(L"Folders and Registry keys");
    EXPECT_EQ(removal.Text(), L"\r\n" + kCrosses + L"\r\nx Removing Folders and Registry keys\r\n" + kCrosses + L"\r\n");
}

TEST(LogTest, BannerForEmptyNameStillWritesEveryPiece) {
    RecordingLog log;
    log.WriteRemovalBanner(L"");
    ASSERT_EQ(log.pieces.size(), 8u);
    EXPECT_EQ(log.Text(), L"\r\n" + kCrosses + L"\r\nx Removing \r\n" + kCrosses + L"\r\n");
}

TEST(LogTest, TextIsPassedOnUnchanged) {
    RecordingLog log;
    log.Write(L"Deleting directory \"C:\\a\"...");
    log.Write(L"");
    log.Write(L"line one\r\nline two");
    log.EndLine();
    EXPECT_EQ(log.Text(), L"Deleting directory \"C:\\a\"...line one\r\nline two\r\n");
    EXPECT_EQ(log.pieces.back(), L"\r\n");
}

TEST(LogTest, CurrentExceptionIsWrittenAsItsDescription) {
    RecordingLog log;
    try {
        throw Windows::WrongRegistryType();
    } catch (...) {
        log.WriteCurrentException();
    }
    try {
        throw std::runtime_error("plain \xc3\xa9t\xc3\xa9");
    } catch (...) {
        log.WriteCurrentException();
    }
    EXPECT_EQ(log.pieces, (std::vector<std::wstring>{L"class Windows::WrongRegistryType", L"plain \u00e9t\u00e9"}));
}

TEST(LogTest, ForeignWhatTextThatIsNotUtf8IsReadAsAnsiInsteadOfThrowing) {
    RecordingLog log;
    try {
        throw std::runtime_error("caf\xe9");  // 0xE9 alone is no UTF-8
    } catch (...) {
        EXPECT_NO_THROW(log.WriteCurrentException());
    }
    ASSERT_EQ(log.pieces.size(), 1u);
    EXPECT_EQ(log.pieces[0].substr(0, 3), L"caf");
    EXPECT_EQ(log.pieces[0].size(), 4u);
}

}  // namespace
