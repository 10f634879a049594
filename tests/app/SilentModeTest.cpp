#include "app/CommandLine.h"
#include "app/ORVRemoveApp.h"
#include "app/SilentRemoval.h"
#include "platform/MessageBox.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const wchar_t kUsage[] =
    L"To remove components silently\nthe /silent switch must be used with one of the following:\n"
    L"    /all - all components\n    /server - Server\n    /console - Console\n    /cdt - Client Deploy Tool\n"
    L"    /client - Agent\n    /loggingservice - Client Logging Service\n    /dlp - DLP\n"
    L"    /msde - Microsoft SQL Desktop Engine\n    /database - Supporting Databases\n"
    L"    /generator - Installation Generator\n    /sam - Software Asset Management\n"
    L"    /a2a - Agent-to-agent API    /api - Platform API";

std::vector<MessageBoxRecorder::Box> RunApp(const wchar_t* arguments) {
    MessageBoxRecorder boxes;
    CORVRemoveApp app(arguments);
    EXPECT_FALSE(app.InitInstance());
    return boxes.boxes;
}

TEST(SilentModeTest, SilentAloneShowsTheUsageTextLast) {
    const auto boxes = RunApp(L"/silent");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kUsage);
    EXPECT_EQ(boxes[0].type, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[0].caption, L"orvtests");  // the executable's base name
}

TEST(SilentModeTest, AnySelectionSwitchSuppressesTheUsageText) {
    for (const wchar_t* arguments :
         {L"/silent /all", L"/silent /allow", L"/silent/client", L"/silent /clients", L"/silent /dlp",
          L"/silent /a2a", L"/silent /loggingservice", L"\"C:\\x\\ORVRemove.exe\" /silent /msde"}) {
        EXPECT_TRUE(RunApp(arguments).empty()) << arguments;
    }
}

TEST(SilentModeTest, SwitchesAreCaseSensitive) {
    EXPECT_EQ(RunApp(L"/silent /SERVER /Client").size(), 1u);
    EXPECT_EQ(RunApp(L"/silent /force").size(), 1u);  // force selects nothing
}

TEST(SilentModeTest, SwitchMatchingIsAPlainSubstringSearch) {
    EXPECT_TRUE(HasSwitch(L"/silent/client", L"/silent"));
    EXPECT_TRUE(HasSwitch(L"/silent/client", L"/client"));
    EXPECT_TRUE(HasSwitch(L"x/forced", L"/force"));
    EXPECT_FALSE(HasSwitch(L"/SILENT", L"/silent"));
    EXPECT_FALSE(HasSwitch(L"-silent", L"/silent"));
    EXPECT_FALSE(HasSwitch(L"", L"/silent"));
}

TEST(MessageBoxTest, IconIsAddedOnlyWhenTheTypeHasNone) {
    using WindowsPlatform::MessageBoxTypeWithIcon;
    EXPECT_EQ(MessageBoxTypeWithIcon(MB_OK), 0x30u);
    EXPECT_EQ(MessageBoxTypeWithIcon(MB_OKCANCEL), static_cast<unsigned>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(MessageBoxTypeWithIcon(MB_YESNO), static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(MessageBoxTypeWithIcon(MB_YESNOCANCEL), static_cast<unsigned>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(MessageBoxTypeWithIcon(MB_ICONERROR), 0x10u);
    EXPECT_EQ(MessageBoxTypeWithIcon(MB_RETRYCANCEL), static_cast<unsigned>(MB_RETRYCANCEL));
}

TEST(MessageBoxTest, CaptionIsTheExecutableBaseName) {
    EXPECT_EQ(WindowsPlatform::ExecutableBaseName(), L"orvtests");
}

}  // namespace
