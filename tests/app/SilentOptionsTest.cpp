// The switches of unattended runs: how their values are cut out of the
// argument text before the selection switches are matched as substrings.

#include "app/Catalogue.h"
#include "app/CommandLine.h"
#include "app/SilentOptions.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <vector>

namespace {

const wchar_t* const kSelectionSwitches[] = {L"/silent", L"/all", L"/force", L"/api", L"/console", L"/cdt",
                                             L"/server", L"/relay", L"/dlp", L"/loggingservice", L"/client",
                                             L"/database", L"/generator", L"/msde", L"/sam", L"/a2a"};
const wchar_t* const kNewSwitches[] = {kLogSwitch, kBackupSwitch, kDetectSwitch, kTimeoutSwitch,
                                        kReportSwitch};

// The switches the text selects, in the table's order.
std::vector<std::wstring> Selected(const std::wstring& switchText) {
    std::vector<std::wstring> selected;
    for (const wchar_t* name : kSelectionSwitches)
        if (HasSwitch(switchText, name)) selected.emplace_back(name);
    return selected;
}

TEST(SilentOptionsTest, ArgumentsWithoutTheNewSwitchesAreLeftExactlyAsGiven) {
    for (const wchar_t* text : {L"", L"/silent /all", L"  /silent/client\t/forced \"x y\"", L"/Log=x /BACKUP=y",
                                L"/logging /back /log", L"\"C:\\x\\ORVRemove.exe\" /silent /msde"}) {
        const SilentOptions options = ParseSilentOptions(text);
        EXPECT_EQ(options.switchText, text);
        EXPECT_FALSE(options.logPath.has_value()) << text;
        EXPECT_FALSE(options.backupFolder.has_value()) << text;
        EXPECT_FALSE(options.detect) << text;
    }
}

TEST(SilentOptionsTest, PathsSelectNothing) {
    const SilentOptions options =
        ParseSilentOptions(L"/silent /log=C:/logs/client/x.log /backup=D:/all/relay/server/backups");
    EXPECT_EQ(options.logPath, L"C:/logs/client/x.log");
    EXPECT_EQ(options.backupFolder, L"D:/all/relay/server/backups");
    EXPECT_EQ(Selected(options.switchText), std::vector<std::wstring>{L"/silent"});

    // Not even "/silent" itself: without it elsewhere the dialog runs.
    EXPECT_TRUE(Selected(ParseSilentOptions(L"/log=C:/silent/x.log").switchText).empty());
    EXPECT_FALSE(ParseSilentOptions(L"/silent /log=C:/detect/x.log").detect);
}

TEST(SilentOptionsTest, NewSwitchesAndSelectionSwitchesDoNotContainEachOther) {
    for (const wchar_t* added : kNewSwitches) {
        for (const wchar_t* existing : kSelectionSwitches) {
            EXPECT_EQ(std::wcsstr(added, existing), nullptr) << added << L" holds " << existing;
            EXPECT_EQ(std::wcsstr(existing, added), nullptr) << existing << L" holds " << added;
        }
    }
}

TEST(SilentOptionsTest, LogSwitchAndLoggingServiceSwitchStayApart) {
    const SilentOptions service = ParseSilentOptions(L"/silent /loggingservice");
    EXPECT_FALSE(service.logPath.has_value());
    EXPECT_EQ(Selected(service.switchText), (std::vector<std::wstring>{L"/silent", L"/loggingservice"}));

    const SilentOptions log = ParseSilentOptions(L"/silent /log=x.log");
    EXPECT_EQ(log.logPath, L"x.log");
    EXPECT_EQ(Selected(log.switchText), std::vector<std::wstring>{L"/silent"});

    // A log named after the switch selects nothing; the switch beside it does.
    const SilentOptions both = ParseSilentOptions(L"/silent /log=/loggingservice.log /loggingservice");
    EXPECT_EQ(both.logPath, L"/loggingservice.log");
    EXPECT_EQ(Selected(both.switchText), (std::vector<std::wstring>{L"/silent", L"/loggingservice"}));
}

TEST(SilentOptionsTest, QuotedValuesMayHoldBlanks) {
    // The value quoted after the switch, the whole switch quoted, and a
    // quote that is never closed.
    const SilentOptions after = ParseSilentOptions(L"/silent /log=\"C:\\My Logs\\x.log\" /dlp");
    EXPECT_EQ(after.logPath, L"C:\\My Logs\\x.log");
    EXPECT_EQ(Selected(after.switchText), (std::vector<std::wstring>{L"/silent", L"/dlp"}));

    const SilentOptions whole = ParseSilentOptions(L"/silent \"/backup=C:\\Back ups /msde\" /dlp");
    EXPECT_EQ(whole.backupFolder, L"C:\\Back ups /msde");
    EXPECT_EQ(Selected(whole.switchText), (std::vector<std::wstring>{L"/silent", L"/dlp"}));

    const SilentOptions open = ParseSilentOptions(L"/silent /log=\"C:\\a b /all");
    EXPECT_EQ(open.logPath, L"C:\\a b /all");
    EXPECT_EQ(Selected(open.switchText), std::vector<std::wstring>{L"/silent"});
}

TEST(SilentOptionsTest, AValueBelongsToTheSwitchBeforeIt) {
    const SilentOptions options = ParseSilentOptions(L"/silent /backup=C:/x/log=y /log=C:/z/backup=w.log");
    EXPECT_EQ(options.backupFolder, L"C:/x/log=y");
    EXPECT_EQ(options.logPath, L"C:/z/backup=w.log");
}

TEST(SilentOptionsTest, CuttingASwitchNeverJoinsItsNeighboursIntoASwitch) {
    EXPECT_TRUE(Selected(ParseSilentOptions(L"/cd/log=\"x\"t").switchText).empty());
    EXPECT_TRUE(Selected(ParseSilentOptions(L"/sil\"/backup=x\"ent").switchText).empty());
}

TEST(SilentOptionsTest, RepeatedSwitchCountsWithItsLastValueAndEmptyValuesAreKept) {
    const SilentOptions repeated = ParseSilentOptions(L"/silent /log=a.log /all /log=b.log");
    EXPECT_EQ(repeated.logPath, L"b.log");
    EXPECT_EQ(Selected(repeated.switchText), (std::vector<std::wstring>{L"/silent", L"/all"}));

    EXPECT_EQ(ParseSilentOptions(L"/silent /log= /all").logPath, L"");
    EXPECT_EQ(ParseSilentOptions(L"/silent /backup=\"\"").backupFolder, L"");
}

TEST(SilentOptionsTest, TimeoutIsCutOutAndOnlyAPositiveWholeNumberCounts) {
    const SilentOptions options = ParseSilentOptions(L"/silent /timeout=600/client /all");
    EXPECT_EQ(options.timeout, L"600/client");
    EXPECT_EQ(Selected(options.switchText), (std::vector<std::wstring>{L"/silent", L"/all"}));
    EXPECT_EQ(TimeoutSeconds(L"600"), 600ul);
    EXPECT_EQ(TimeoutSeconds(L"4294967295"), 4294967295ul);
    for (const wchar_t* bad : {L"", L"0", L"000", L"-5", L"+5", L"5s", L"1.5", L" 5", L"4294967296", L"99999999999"})
        EXPECT_EQ(TimeoutSeconds(bad), std::nullopt) << bad;
}

TEST(SilentOptionsTest, ReportPathIsCutOutLikeTheLogPath) {
    const SilentOptions options =
        ParseSilentOptions(L"/silent \"/report=\\\\share\\all reports\\client.json\" /detect /log=C:/report=x.log");
    EXPECT_EQ(options.reportPath, L"\\\\share\\all reports\\client.json");
    EXPECT_EQ(options.logPath, L"C:/report=x.log");
    EXPECT_TRUE(options.detect);
    EXPECT_EQ(Selected(options.switchText), std::vector<std::wstring>{L"/silent"});
}

}  // namespace
