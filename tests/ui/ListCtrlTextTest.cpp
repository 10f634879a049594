#include "ui/ModeledListCtrl.h"

#include "ui/TestListModels.h"

#include <gtest/gtest.h>

namespace {

std::wstring Lines(int count, const wchar_t* lineBreak) {
    std::wstring text;
    for (int line = 1; line <= count; ++line) {
        if (line > 1) text += lineBreak;
        text += L"line " + std::to_wstring(line);
    }
    return text;
}

TEST(ToolTipTextTest, TwentyEightLinesAreShownWhole) {
    EXPECT_EQ(ToolTipDisplayText(Lines(28, L"\n")), Lines(28, L"\n"));
    EXPECT_EQ(ToolTipDisplayText(L"one line"), L"one line");
    EXPECT_EQ(ToolTipDisplayText(L""), L"");
}

TEST(ToolTipTextTest, LongerTextsAreCutAfterTwentySevenLines) {
    const std::wstring expected = Lines(27, L"\r\n") + L"\r\n<...>";
    EXPECT_EQ(ToolTipDisplayText(Lines(29, L"\n")), expected);
    EXPECT_EQ(ToolTipDisplayText(Lines(40, L"\r")), expected);
    EXPECT_EQ(ToolTipDisplayText(Lines(29, L"\n\r")), expected);
}

TEST(ToolTipTextTest, UnlikeBreakPairsCountOnceAndLikeOnesTwice) {
    // 14 "\r\n" pairs plus 14 "\n\r" pairs: 29 lines, cut.
    std::wstring mixed;
    for (int line = 1; line <= 29; ++line) {
        if (line > 1) mixed += line % 2 == 0 ? L"\r\n" : L"\n\r";
        mixed += L"line " + std::to_wstring(line);
    }
    EXPECT_EQ(ToolTipDisplayText(mixed), Lines(27, L"\r\n") + L"\r\n<...>");
    // 14 "\n\n" doubles make 28 breaks: 29 lines, the empty ones count.
    std::wstring doubled = L"x";
    for (int i = 0; i < 14; ++i) doubled += L"\n\nx";
    const std::wstring cut = ToolTipDisplayText(doubled);
    EXPECT_EQ(cut.substr(cut.size() - 5), L"<...>");
    // A trailing break opens a 29th (empty) line.
    EXPECT_EQ(ToolTipDisplayText(Lines(28, L"\n") + L"\n"), Lines(27, L"\r\n") + L"\r\n<...>");
}

TEST(ToolTipTextTest, TabsBecomeSpaces) {
    EXPECT_EQ(ToolTipDisplayText(L"a\tb\t\tc"), L"a b  c");
    EXPECT_EQ(ToolTipDisplayText(Lines(29, L"\n") + L"\t").find(L'\t'), std::wstring::npos);
}

TEST(HeaderMenuTest, TheLastVisibleColumnCannotBeHidden) {
    EXPECT_FALSE(MayToggleColumn(true, 1));
    EXPECT_TRUE(MayToggleColumn(true, 2));
    EXPECT_TRUE(MayToggleColumn(false, 1));
    EXPECT_TRUE(MayToggleColumn(false, 0));
}

TEST(TypeAheadTest, FindsRowsByTheirBeginningInAnyCaseAndWraps) {
    TextTable table({"Name"}, {{"Apple"}, {"apricot"}, {"fig"}, {"pear"}, {"Fig tree"}});
    EXPECT_EQ(FindRowByPrefix(table, 0, L"ap", 0), 0);
    EXPECT_EQ(FindRowByPrefix(table, 0, L"AP", 1), 1);
    EXPECT_EQ(FindRowByPrefix(table, 0, L"ap", 2), 0);  // wrapped
    EXPECT_EQ(FindRowByPrefix(table, 0, L"fig", 3), 4);
    EXPECT_EQ(FindRowByPrefix(table, 0, L"fig t", 0), 4);
    EXPECT_EQ(FindRowByPrefix(table, 0, L"figs", 0), -1);  // longer than the text
    EXPECT_EQ(FindRowByPrefix(table, 0, L"pe", 99), 3);    // a start beyond the rows starts at the top
    TextTable empty({"Name"}, {});
    EXPECT_EQ(FindRowByPrefix(empty, 0, L"a", 0), -1);
}

}  // namespace
