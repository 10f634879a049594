#include "platform/Errors.h"
#include "platform/Format.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatTest, RendersPlaceholdersInOrder) {
    EXPECT_EQ(Format("Windows Error 0x{err}: {msg}", "2", "not found").Text(), "Windows Error 0x2: not found");
    EXPECT_EQ(Format("{msg}{_lf}", "text").Text(), "text\n");
    EXPECT_EQ(Format("Windows Error 0x{e}%: {s}", "5", "denied").Text(), "Windows Error 0x5%: denied");
    EXPECT_EQ(Format("{message} ({state}: {error})", "m", "28000", "18456").Text(), "m (28000: 18456)");
}

TEST(FormatTest, SpecialNamesTakeNoArgument) {
    EXPECT_EQ(Format("{_obrace}a{_cbrace}").Text(), "{a}");
    EXPECT_EQ(Format("{_cr}{_lf}{_crlf}{_tab}").Text(), "\r\n\r\n\t");
    EXPECT_EQ(Format("[{_tab}{x}]", "v").Text(), "[\tv]");
}

TEST(FormatTest, LiteralTextAndLoneClosingBraceAreCopied) {
    EXPECT_EQ(Format("no placeholders").Text(), "no placeholders");
    EXPECT_EQ(Format("a } b").Text(), "a } b");
    EXPECT_EQ(Format("").Text(), "");
}

TEST(FormatTest, RepeatedNameShowsTheSmallestValueEverywhere) {
    EXPECT_EQ(Format("{n}+{n}", "2", "1").Text(), "1+1");
    EXPECT_EQ(Format("{g}-{g}-{g}-{g}-{g}", "G", "G", "G", "G", "G").Text(), "G-G-G-G-G");
}

TEST(FormatTest, ArgumentCountMismatches) {
    EXPECT_THROW(Format("no placeholders", "x").Text(), TooFewFormatArguments);
    EXPECT_THROW(Format("{a}{b}", "1").Text(), TooManyFormatArguments);
    EXPECT_THROW(Format("{a}").Text(), TooManyFormatArguments);
}

TEST(FormatTest, MalformedTemplates) {
    EXPECT_THROW(Format("abc {def", "x").Text(), BadFormatStringError);
    EXPECT_THROW(Format("{").Text(), BadFormatStringError);
    EXPECT_THROW(Format("{}").Text(), ImproperFormatVariableName);
    EXPECT_THROW(Format("{a-b}", "x").Text(), ImproperFormatVariableName);
    EXPECT_THROW(Format("{a b}", "x").Text(), ImproperFormatVariableName);
    EXPECT_THROW(Format("{_x}").Text(), UndefinedFormatVariable);
    EXPECT_THROW(Format("{_LF}").Text(), UndefinedFormatVariable);
}

TEST(FormatTest, NameRules) {
    // The first character may be anything but "}" and "_"; the rest are
    // ASCII letters, digits and "_".
    EXPECT_EQ(Format("{-}", "v").Text(), "v");
    EXPECT_EQ(Format("{9a_B}", "v").Text(), "v");
    EXPECT_EQ(Format("{{}", "v").Text(), "v");
}

TEST(FormatTest, ErrorsAreDescribedByClassName) {
    try {
        Format("{a}{b}", "1").Text();
        FAIL();
    } catch (const DebuggableException& e) {
        EXPECT_EQ(e.Description(), "class TooManyFormatArguments");
    }
}

}  // namespace
