// Version texts as the client deploy tool reads them: parts, separators,
// invalid texts, and the comparison over the parts both versions have.

#include "products/CDTProduct.h"
#include "products/ComponentVersion.h"

#include <gtest/gtest.h>

namespace {

void ExpectParts(const wchar_t* text, std::array<unsigned, 4> parts, unsigned count) {
    const ComponentVersion version = ParseComponentVersion(text);
    EXPECT_EQ(version.parts, parts) << text;
    EXPECT_EQ(version.count, count) << text;
}

TEST(ComponentVersionTest, PartsAndSeparators) {
    ExpectParts(L"9.5.5.0", {9, 5, 5, 0}, 4);
    ExpectParts(L"9,5", {9, 5, 0, 0}, 2);
    ExpectParts(L"9.5.", {9, 5, 0, 0}, 3);  // a trailing separator adds a part 0
    ExpectParts(L".5", {0, 5, 0, 0}, 2);
    ExpectParts(L"1..3", {1, 0, 3, 0}, 3);
    ExpectParts(L"65535.007", {65535, 7, 0, 0}, 2);
}

TEST(ComponentVersionTest, InvalidTextsReadAsZeroWithFourParts) {
    for (const wchar_t* text : {L"", L"1.2.3.4.5", L"1.2.3.4.", L"70000.1", L"65536", L"9.5.5.0 beta", L"9.5a",
                                L" 9.5", L"9-5", L"\x0669.5" /* an Arabic-Indic digit */}) {
        ExpectParts(text, {0, 0, 0, 0}, 4);
    }
}

TEST(ComponentVersionTest, ComparisonOverTheSharedParts) {
    const ComponentVersion embedding = CDTProduct::EmbeddedDeployToolVersion;
    for (const wchar_t* atLeast : {L"9.5.5.0", L"9.5.6", L"10.0", L"9.5", L"9", L"9.6.0.0"})
        EXPECT_TRUE(ParseComponentVersion(atLeast) >= embedding) << atLeast;
    for (const wchar_t* below : {L"9.5.4.99", L"9.4", L"8", L"9.5.5.0 beta", L"9.5.5.0.", L""})
        EXPECT_TRUE(ParseComponentVersion(below) < embedding) << below;
    EXPECT_EQ(CompareComponentVersions(ParseComponentVersion(L"9.5"), embedding), 0);
    EXPECT_GT(CompareComponentVersions(ParseComponentVersion(L"9.10"), ParseComponentVersion(L"9.9.9.9")), 0);
}

}  // namespace
