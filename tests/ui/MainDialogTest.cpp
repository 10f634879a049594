// The real ORVRemove.exe dialog on lab machines, driven from outside the way
// an administrator would use it: wait for detection, read the list, select
// rows, press the buttons, answer the boxes, read the log pane, resize.
// Screenshots of the main states go to the build folder's artefacts.

#include "support/DialogDriver.h"
#include "support/LabMachine.h"

#include "ui/resource.h"

#include <algorithm>

namespace {

constexpr int kAllComponents = 13;
constexpr COLORREF kInstalledColour = 0x66FF66;
constexpr COLORREF kUnknownVersionColour = 0x66FFFF;
constexpr COLORREF kAbsentColour = 0xFFFFFF;

class MainDialogTest : public LabMachineTest {
protected:
    // Rows whose component is installed (they show a version).
    static std::vector<int> InstalledRows(const std::vector<ListRow>& rows) {
        std::vector<int> installed;
        for (int i = 0; i < static_cast<int>(rows.size()); ++i)
            if (!rows[i].version.empty()) installed.push_back(i);
        return installed;
    }
    static int RowNamed(const std::vector<ListRow>& rows, const std::wstring& name) {
        for (int i = 0; i < static_cast<int>(rows.size()); ++i)
            if (rows[i].name == name) return i;
        return -1;
    }
    // The background colour of a row, read off the screen just inside its
    // version cell (past the name column, left of the version text).
    static COLORREF RowColour(const RunningDialog& dialog, int row) {
        const RECT rowRect = dialog.RowRect(row);
        RECT window{};
        GetWindowRect(dialog.Window(), &window);
        const Capture capture = dialog.CaptureWindow();
        const int x = rowRect.right - 4 - window.left;
        const int y = (rowRect.top + rowRect.bottom) / 2 - window.top;
        return capture.At(x, y);
    }
    // The rows are refreshed last after a removal pass, when the dialog is
    // idle again.
    static void WaitForInstalledRows(const RunningDialog& dialog, size_t count) {
        const ULONGLONG deadline = GetTickCount64() + 60000;
        while (InstalledRows(dialog.Rows()).size() != count && GetTickCount64() < deadline) Sleep(100);
    }
    static void Save(const RunningDialog& dialog, const wchar_t* name) {
        dialog.CaptureWindow().Save(ArtefactFolder() + L"\\" + name);
    }

    void PlantThree() {
        Lab::PlantBystanders();
        Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
        Lab::Plant(L"server", Lab::SetupKind::InstallShield);
        Lab::Plant(L"relay", Lab::SetupKind::Msi);
    }
};

TEST_F(MainDialogTest, DetectionListsEveryComponentSortedWithStateColours) {
    PlantThree();
    RunningDialog dialog;
    ASSERT_TRUE(dialog.Started());
    ASSERT_TRUE(dialog.WaitForRows(kAllComponents));
    Save(dialog, L"after-detection.bmp");

    const auto rows = dialog.Rows();
    std::vector<std::wstring> names;
    for (const auto& row : rows) names.push_back(row.name);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    }));
    const auto installed = InstalledRows(rows);
    ASSERT_EQ(installed.size(), 3u);
    EXPECT_EQ(RowColour(dialog, installed[0]), kInstalledColour);
    const int absent = RowNamed(rows, L"A2A");
    ASSERT_GE(absent, 0);
    EXPECT_EQ(rows[absent].version, L"");
    EXPECT_EQ(RowColour(dialog, absent), kAbsentColour);

    // The log pane shows the detection of every component.
    const std::wstring log = dialog.LogText();
    EXPECT_NE(log.find(L"Detecting"), std::wstring::npos);
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE, false));  // nothing selected yet
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE_ALL, true));
    EXPECT_TRUE(dialog.Close());
    EXPECT_EQ(dialog.ExitCode(), 0u);
}

TEST_F(MainDialogTest, RemoveFollowsTheSelectionAndCancelClearsIt) {
    PlantThree();
    RunningDialog dialog;
    ASSERT_TRUE(dialog.WaitForRows(kAllComponents));
    const auto rows = dialog.Rows();
    const auto installed = InstalledRows(rows);
    const int absent = RowNamed(rows, L"A2A");

    dialog.SelectRows({installed[0], installed[1]});
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE, true));
    dialog.SelectRows({installed[0], absent});
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE, false));  // one selected row is not installed

    const Lab::Snapshot before = Lab::TakeSnapshot();
    dialog.SelectRows({installed[1]});
    dialog.Press(IDC_REMOVE);
    const SeenBox question = dialog.AnswerNextBox(IDCANCEL);
    EXPECT_EQ(question.caption, L"Confirm Removal");
    EXPECT_EQ(question.text, L"Are you sure you want to remove \"" + rows[installed[1]].name + L"\"?");
    EXPECT_TRUE(dialog.WaitForNoSelection());
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE, false));
    EXPECT_EQ(Lab::Diff(before, Lab::TakeSnapshot()).went, NoLines());
}

TEST_F(MainDialogTest, ClientWithoutItsDependentsIsRefusedWithTheWarning) {
    Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    const Lab::Planted relay = Lab::Plant(L"relay", Lab::SetupKind::Msi);
    RunningDialog dialog;
    ASSERT_TRUE(dialog.WaitForRows(kAllComponents));
    const auto rows = dialog.Rows();
    const auto installed = InstalledRows(rows);
    ASSERT_EQ(installed.size(), 2u);
    const int relayRow = RowNamed(rows, relay.edition);
    ASSERT_GE(relayRow, 0);
    const int agentRow = installed[0] == relayRow ? installed[1] : installed[0];

    const Lab::Snapshot before = Lab::TakeSnapshot();
    dialog.SelectRows({agentRow});
    dialog.Press(IDC_REMOVE);
    EXPECT_EQ(dialog.AnswerNextBox(IDOK).caption, L"Confirm Removal");
    const SeenBox warning = dialog.AnswerNextBox(IDOK);
    EXPECT_EQ(warning.caption, L"Some installed components depend on the client");
    EXPECT_EQ(warning.text, L"Removing the client will:\r\ndestroy the relay configuration\r\n\r\nIn order to remove the "
                            L"client, you must also remove the following components:\r\n" +
                                rows[relayRow].name + L"\r\n");
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE, true));  // idle again, the agent still selected
    EXPECT_EQ(Lab::Diff(before, Lab::TakeSnapshot()).went, NoLines());
}

TEST_F(MainDialogTest, RemoveAllRemovesEverythingThenCleansTheRoots) {
    Lab::PlantBystanders();
    Lab::PlantOptions agent(Lab::SetupKind::InstallShield);
    agent.behaviour.childMs = 2000;  // keeps the pass running while Esc and Enter are tried
    Lab::Plant(L"agent", agent);
    Lab::Plant(L"server", Lab::SetupKind::InstallShield);
    Lab::Plant(L"relay", Lab::SetupKind::Msi);
    const Lab::Snapshot before = Lab::TakeSnapshot();
    RunningDialog dialog;
    ASSERT_TRUE(dialog.WaitForRows(kAllComponents));

    dialog.Press(IDC_REMOVE_ALL);
    const SeenBox question = dialog.AnswerNextBox(IDOK);
    EXPECT_EQ(question.text, L"Are you sure you want to remove all 3 installed components?");
    // While the pass runs both buttons are disabled (components are still
    // installed) and Esc and Enter do nothing.
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE_ALL, false));
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE, false));
    dialog.SendKey(VK_ESCAPE);
    dialog.SendKey(VK_RETURN);
    Save(dialog, L"while-removing.bmp");

    const SeenBox summary = dialog.AnswerNextBox(IDOK, 240000);
    EXPECT_FALSE(dialog.HasEnded());
    EXPECT_EQ(summary.caption, L"Success");
    EXPECT_EQ(summary.text, L"Successfully removed 3 products.");
    WaitForInstalledRows(dialog, 0);
    const std::wstring log = dialog.LogText();
    EXPECT_NE(log.find(L"\r\nNo more products installed. Removing root folders and reg keys...\r\n"),
              std::wstring::npos);
    EXPECT_NE(log.find(L"Folders and Registry keys"), std::wstring::npos);
    EXPECT_TRUE(InstalledRows(dialog.Rows()).empty());
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE, false));
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE_ALL, false));
    Save(dialog, L"after-removal.bmp");

    const Lab::Snapshot after = Lab::TakeSnapshot();
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
    for (const wchar_t* component : {L"agent", L"server", L"relay"}) {
        const auto left = Lab::LinesWithin(after.lines, Lab::ComponentPrefixes(component));
        EXPECT_EQ(Lab::LinesOutside(left, {L"file C:\\windows\\Installer\\",  // the relay package's cached copy
                                           L"reg HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\",
                                           L"file C:\\Program Files (x86)\\InstallShield Installation Information\\",
                                           L"reg HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"}),
                  NoLines())
            << component;
    }
    EXPECT_TRUE(dialog.Close());
}

TEST_F(MainDialogTest, ResizingMovesTheControlsByTheirAnchors) {
    RunningDialog dialog;
    ASSERT_TRUE(dialog.WaitForRows(kAllComponents));
    const RECT list = dialog.ChildRect(IDC_PRODUCT_LIST), remove = dialog.ChildRect(IDC_REMOVE),
               log = dialog.ChildRect(IDC_LOG);
    HWND label = FindWindowExW(dialog.Window(), nullptr, L"Static", L"Installed Products:");
    ASSERT_NE(label, nullptr);
    RECT labelBefore{};
    GetWindowRect(label, &labelBefore);

    RECT window{};
    GetWindowRect(dialog.Window(), &window);
    SetWindowPos(dialog.Window(), nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    Sleep(200);
    const RECT list2 = dialog.ChildRect(IDC_PRODUCT_LIST), remove2 = dialog.ChildRect(IDC_REMOVE),
               log2 = dialog.ChildRect(IDC_LOG);
    EXPECT_EQ(list2.right - list2.left, list.right - list.left + 100);
    EXPECT_EQ(list2.bottom - list2.top, list.bottom - list.top);
    EXPECT_EQ(remove2.left, remove.left + 100);
    EXPECT_EQ(remove2.top, remove.top);
    EXPECT_EQ(log2.right - log2.left, log.right - log.left + 100);
    EXPECT_EQ(log2.bottom - log2.top, log.bottom - log.top + 60);
    RECT labelAfter{};
    GetWindowRect(label, &labelAfter);
    EXPECT_EQ(labelAfter.left - labelBefore.left, 0);
    Save(dialog, L"resized.bmp");
}

TEST_F(MainDialogTest, RemovingOneOfTwoLeavesTheRootsAndTheOtherAlone) {
    Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    const Lab::Planted relay = Lab::Plant(L"relay", Lab::SetupKind::Msi);
    RunningDialog dialog;
    ASSERT_TRUE(dialog.WaitForRows(kAllComponents));
    const auto rows = dialog.Rows();
    const int relayRow = RowNamed(rows, relay.edition);
    ASSERT_GE(relayRow, 0);

    dialog.SelectRows({relayRow});
    dialog.Press(IDC_REMOVE);
    EXPECT_EQ(dialog.AnswerNextBox(IDOK).text, L"Are you sure you want to remove \"" + relay.edition + L"\"?");
    const SeenBox summary = dialog.AnswerNextBox(IDOK, 240000);
    EXPECT_EQ(summary.text, L"Successfully removed 1 products.");
    WaitForInstalledRows(dialog, 1);

    const auto after = dialog.Rows();
    ASSERT_EQ(InstalledRows(after).size(), 1u);
    EXPECT_EQ(after[RowNamed(after, relay.edition)].version, L"");
    EXPECT_TRUE(dialog.WaitForNoSelection());
    EXPECT_TRUE(dialog.WaitForEnabled(IDC_REMOVE_ALL, true));
    EXPECT_EQ(dialog.LogText().find(L"No more products installed."), std::wstring::npos);
    const Lab::Snapshot snapshot = Lab::TakeSnapshot();
    EXPECT_FALSE(Lab::LinesWithin(snapshot.lines, {L"reg HKLM\\SOFTWARE\\Wow6432Node\\Orvalis\\"}).empty());
}

}  // namespace
