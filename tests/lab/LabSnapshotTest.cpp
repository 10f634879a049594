// The snapshot's text form and the helpers that compare snapshots; no
// machine is needed.

#include "Snapshot.h"
#include "SnapshotRegistry.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::wstring>;

TEST(LabSnapshotTest, PrefixesMatchWholePathPartsOnly) {
    const std::wstring prefix = L"reg HKLM\\SOFTWARE\\Wow6432Node\\Orvalis";
    EXPECT_TRUE(Lab::MatchesPrefix(L"reg HKLM\\SOFTWARE\\Wow6432Node\\Orvalis", prefix));
    EXPECT_TRUE(Lab::MatchesPrefix(L"reg HKLM\\software\\wow6432node\\orvalis\\EnterpriseClient", prefix));
    EXPECT_TRUE(Lab::MatchesPrefix(L"reg HKLM\\SOFTWARE\\Wow6432Node\\Orvalis  [Name] REG_SZ \"x\"", prefix));
    EXPECT_FALSE(Lab::MatchesPrefix(L"reg HKLM\\SOFTWARE\\Wow6432Node\\OrvalisTools", prefix));
    EXPECT_FALSE(Lab::MatchesPrefix(L"reg HKLM\\SOFTWARE\\Wow6432Node\\Orvalis, Inc.", prefix));
    EXPECT_FALSE(Lab::MatchesPrefix(L"file HKLM\\SOFTWARE\\Wow6432Node\\Orvalis", prefix));

    const std::wstring folder = L"file C:\\Program Files (x86)\\Orvalis Enterprise";
    EXPECT_TRUE(Lab::MatchesPrefix(L"file C:\\Program Files (x86)\\Orvalis Enterprise\\", folder));
    EXPECT_TRUE(Lab::MatchesPrefix(L"file C:\\Program Files (x86)\\Orvalis Enterprise\\a b.txt  12 RA", folder));
    EXPECT_FALSE(Lab::MatchesPrefix(L"file C:\\Program Files (x86)\\Orvalis Enterprise Tools\\", folder));

    EXPECT_TRUE(Lab::MatchesPrefix(L"svc ORVClient  RUNNING", L"svc ORVClient"));
    EXPECT_FALSE(Lab::MatchesPrefix(L"svc ORVClientHelper  RUNNING", L"svc ORVClient"));
}

TEST(LabSnapshotTest, DiffListsWhatWentAndWhatCame) {
    const Lab::Snapshot before = Lab::ParseSnapshot(L"svc A  RUNNING\r\nreg HKLM\\X\r\nfile C:\\k\\\r\n");
    const Lab::Snapshot after = Lab::ParseSnapshot(L"svc A  STOPPED\r\nfile C:\\k\\\r\nfile C:\\n\\\r\n");
    const Lab::SnapshotDiff diff = Lab::Diff(before, after);
    EXPECT_EQ(diff.went, (Lines{L"reg HKLM\\X", L"svc A  RUNNING"}));
    EXPECT_EQ(diff.came, (Lines{L"file C:\\n\\", L"svc A  STOPPED"}));
    EXPECT_EQ(Lab::LinesOutside(diff.went, {L"svc A"}), Lines{L"reg HKLM\\X"});
    EXPECT_EQ(Lab::MissingLines(after, {L"file C:\\k\\", L"reg HKLM\\X"}), Lines{L"reg HKLM\\X"});
}

TEST(LabSnapshotTest, ValuesShowTheirExactData) {
    const wchar_t terminated[] = L"C:\\x";
    const wchar_t bare[] = {L'a', L'b'};
    const wchar_t multi[] = L"one\0two\0";
    const DWORD number = 0x1f90;
    const BYTE odd[] = {1, 2, 3};
    auto describe = [](DWORD type, const void* data, size_t size) {
        return Lab::DescribeValue(type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    };
    EXPECT_EQ(describe(REG_SZ, terminated, sizeof terminated), L"REG_SZ \"C:\\x\"");
    EXPECT_EQ(describe(REG_EXPAND_SZ, bare, sizeof bare), L"REG_EXPAND_SZ \"ab\" (no NUL)");
    EXPECT_EQ(describe(REG_SZ, terminated, 0), L"REG_SZ \"\"");
    EXPECT_EQ(describe(REG_MULTI_SZ, multi, sizeof multi), L"REG_MULTI_SZ \"one\" \"two\"");
    EXPECT_EQ(describe(REG_DWORD, &number, sizeof number), L"REG_DWORD 0x00001f90");
    EXPECT_EQ(describe(REG_SZ, odd, sizeof odd), L"REG_SZ hex(3) 01 02 03");
    EXPECT_EQ(describe(REG_SZ, L"a\"\r\n", 10), L"REG_SZ \"a\\\"\\r\\n\"");
}

}  // namespace
