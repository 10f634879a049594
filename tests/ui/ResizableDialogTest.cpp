#include "ui/ResizableDialog.h"

#include "ui/DialogTemplateBuilder.h"
#include "ui/ScriptedDialog.h"
#include "ui/TestWindows.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

constexpr WORD kList = 1025;
constexpr WORD kRemove = 1026;
constexpr WORD kRemoveAll = 1007;
constexpr WORD kLog = 1031;
constexpr WORD kLabel = 0xFFFF;

using TestDialog = ScriptedDialog<CResizableDialog>;

// The shape of the program's main dialog.
std::vector<BYTE> MainLikeDialog() {
    return DialogTemplateBuilder(DS_SETFONT | DS_FIXEDSYS | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                     WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                                 290, 314, L"Resizable")
        .Font(8, L"MS Shell Dlg")
        .Control(0x0082, L"Installed Products:", kLabel, SS_LEFT, 7, 7, 101, 8)
        .Control(L"SysListView32", L"", kList, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 18, 276,
                 153)
        .Control(0x0080, L"Remove", kRemove, WS_TABSTOP, 179, 176, 50, 14)
        .Control(0x0080, L"Remove All", kRemoveAll, WS_TABSTOP, 233, 176, 50, 14)
        .Control(0x0082, L"Log:", kLabel, SS_LEFT, 7, 182, 15, 8)
        .Control(0x0081, L"", kLog, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 193, 276, 114)
        .Build();
}

void AnchorLikeTheMainDialog(TestDialog& dialog) {
    dialog.SetChildAnchor(::GetDlgItem(dialog, kList), CResizableLayout::kTopLeft, CResizableLayout::kTopRight);
    dialog.SetChildAnchor(::GetDlgItem(dialog, kRemove), CResizableLayout::kTopRight, CResizableLayout::kTopRight);
    dialog.SetChildAnchor(::GetDlgItem(dialog, kRemoveAll), CResizableLayout::kTopRight,
                          CResizableLayout::kTopRight);
    dialog.SetChildAnchor(::GetDlgItem(dialog, kLog), CResizableLayout::kTopLeft, CResizableLayout::kBottomRight);
    dialog.AnchorRemainingChildren();
}

std::vector<HWND> Labels(HWND dialog) {
    std::vector<HWND> labels;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::GetDlgCtrlID(child) == kLabel) labels.push_back(child);
    return labels;
}

RECT Moved(RECT rect, int left, int top, int right, int bottom) {
    return RECT{rect.left + left, rect.top + top, rect.right + right, rect.bottom + bottom};
}

void ExpectRect(const RECT& actual, const RECT& expected, const char* what) {
    EXPECT_TRUE(::EqualRect(&actual, &expected))
        << what << ": (" << actual.left << "," << actual.top << ")-(" << actual.right << "," << actual.bottom
        << ") expected (" << expected.left << "," << expected.top << ")-(" << expected.right << ","
        << expected.bottom << ")";
}

TEST(ResizableDialogTest, ControlsFollowTheirAnchorsWhenTheDialogGrows) {
    TestDialog dialog(MainLikeDialog(), AnchorLikeTheMainDialog, [](TestDialog& self) {
        const HWND list = ::GetDlgItem(self, kList);
        const HWND remove = ::GetDlgItem(self, kRemove);
        const HWND removeAll = ::GetDlgItem(self, kRemoveAll);
        const HWND log = ::GetDlgItem(self, kLog);
        const std::vector<HWND> labels = Labels(self);
        ASSERT_EQ(labels.size(), 2u);
        const RECT listBefore = RectInParent(list), removeBefore = RectInParent(remove),
                   removeAllBefore = RectInParent(removeAll), logBefore = RectInParent(log),
                   label0 = RectInParent(labels[0]), label1 = RectInParent(labels[1]);

        const SIZE size = WindowSize(self);
        ::SetWindowPos(self, nullptr, 0, 0, size.cx + 100, size.cy + 80, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_EQ(WindowSize(self).cx, size.cx + 100);

        ExpectRect(RectInParent(list), Moved(listBefore, 0, 0, 100, 0), "list");
        ExpectRect(RectInParent(remove), Moved(removeBefore, 100, 0, 100, 0), "Remove");
        ExpectRect(RectInParent(removeAll), Moved(removeAllBefore, 100, 0, 100, 0), "Remove All");
        ExpectRect(RectInParent(log), Moved(logBefore, 0, 0, 100, 80), "log");
        ExpectRect(RectInParent(labels[0]), label0, "first label");
        ExpectRect(RectInParent(labels[1]), label1, "second label");

        // The grip sits in the corner and was not anchored like the labels.
        const HWND grip = self.GetSizeGripHwnd();
        const SIZE client = ClientSize(self);
        const RECT gripRect = RectInParent(grip);
        EXPECT_EQ(gripRect.right, client.cx);
        EXPECT_EQ(gripRect.bottom, client.cy);
        EXPECT_EQ(self.FindAnchor(grip), nullptr);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(ResizableDialogTest, DialogGetsASizingFrameAndCannotShrinkBelowItsCreationSize) {
    TestDialog dialog(MainLikeDialog(), AnchorLikeTheMainDialog, [](TestDialog& self) {
        EXPECT_NE(self.GetStyle() & WS_THICKFRAME, 0u);
        // The client area keeps the size the template designed.
        RECT designed{0, 0, 290, 314};
        ::MapDialogRect(self, &designed);
        EXPECT_EQ(ClientSize(self).cx, designed.right);
        EXPECT_EQ(ClientSize(self).cy, designed.bottom);

        const SIZE opened = WindowSize(self);
        ASSERT_TRUE(self.HasMinTrackSize());
        const POINT minimum = self.MinTrackSize();
        EXPECT_LE(minimum.x, opened.cx);
        EXPECT_LE(minimum.y, opened.cy);
        EXPECT_GT(minimum.x, opened.cx / 2);

        ::SetWindowPos(self, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(WindowSize(self).cx, minimum.x);
        EXPECT_EQ(WindowSize(self).cy, minimum.y);

        ::SetWindowPos(self, nullptr, 0, 0, opened.cx + 500, opened.cy + 300, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(WindowSize(self).cx, opened.cx + 500);
        EXPECT_EQ(WindowSize(self).cy, opened.cy + 300);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(ResizableDialogTest, MaximisingHidesTheGripAndRestoringShowsIt) {
    TestDialog dialog(MainLikeDialog(), AnchorLikeTheMainDialog, [](TestDialog& self) {
        const HWND grip = self.GetSizeGripHwnd();
        ASSERT_NE(grip, nullptr);
        EXPECT_TRUE(::IsWindowVisible(grip));
        ::ShowWindow(self, SW_MAXIMIZE);
        EXPECT_TRUE(::IsZoomed(self));
        EXPECT_FALSE(::IsWindowVisible(grip));
        ::ShowWindow(self, SW_RESTORE);
        EXPECT_TRUE(::IsWindowVisible(grip));
        // A second restore does not count the grip up twice.
        ::ShowWindow(self, SW_RESTORE);
        ::ShowWindow(self, SW_MAXIMIZE);
        EXPECT_FALSE(::IsWindowVisible(grip));
        ::ShowWindow(self, SW_RESTORE);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(ResizableDialogTest, GripResizesTheDialogFromATriangleInTheCorner) {
    TestDialog dialog(MainLikeDialog(), AnchorLikeTheMainDialog, [](TestDialog& self) {
        const HWND grip = self.GetSizeGripHwnd();
        const SIZE size = WindowSize(grip);
        EXPECT_EQ(size.cx, ::GetSystemMetrics(SM_CXVSCROLL));
        EXPECT_EQ(size.cy, ::GetSystemMetrics(SM_CYHSCROLL));
        EXPECT_NE(static_cast<DWORD>(::GetWindowLongW(grip, GWL_STYLE)) & SBS_SIZEGRIP, 0u);

        RECT rect{};
        ::GetWindowRect(grip, &rect);
        const LPARAM corner = MAKELPARAM(rect.right - 1, rect.bottom - 1);
        EXPECT_EQ(::SendMessageW(grip, WM_NCHITTEST, 0, corner), HTBOTTOMRIGHT);
        EXPECT_EQ(::SendMessageW(grip, WM_GETDLGCODE, 0, 0), DLGC_STATIC);

        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(::GetWindowRgn(grip, region), ERROR);
        EXPECT_TRUE(::PtInRegion(region, size.cx - 2, size.cy - 2));
        EXPECT_FALSE(::PtInRegion(region, 1, 1));
        ::DeleteObject(region);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(ResizableDialogTest, ShowsItsControlsInTheSystemMessageFont) {
    MessageFont expected;
    ASSERT_TRUE(GetMessageFont(expected));
    std::wstring face;
    TestDialog dialog(MainLikeDialog(), nullptr, [&](TestDialog& self) {
        LOGFONTW font{};
        const auto hfont = reinterpret_cast<HFONT>(self.SendMessage(WM_GETFONT));
        ASSERT_NE(::GetObjectW(hfont, sizeof(font), &font), 0);
        face = font.lfFaceName;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(face, expected.face);
}

class PlacementKey {
public:
    static constexpr const wchar_t* kPath = L"Software\\ORVRemoveTests\\Placement";
    PlacementKey() { Delete(); }
    ~PlacementKey() { Delete(); }

    bool Exists() const {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }
    std::wstring Value(const wchar_t* name) const {
        wchar_t text[256] = {};
        DWORD size = sizeof(text);
        const std::wstring sub = std::wstring(kPath) + L"\\ResizableState";
        if (::RegGetValueW(HKEY_CURRENT_USER, sub.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) !=
            ERROR_SUCCESS)
            return L"<missing>";
        return text;
    }

private:
    static void Delete() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ORVRemoveTests"); }
};

TEST(ResizableDialogTest, PlacementIsSavedOnlyWhenEnabled) {
    PlacementKey key;
    {
        TestDialog plain(MainLikeDialog(), AnchorLikeTheMainDialog, nullptr);
        EXPECT_EQ(plain.DoModal(), IDOK);
    }
    EXPECT_FALSE(key.Exists());

    RECT normal{};
    TestDialog saving(
        MainLikeDialog(),
        [](TestDialog& self) {
            AnchorLikeTheMainDialog(self);
            self.EnableSaveRestore(PlacementKey::kPath, L"Main", true);
        },
        [&](TestDialog& self) {
            WINDOWPLACEMENT placement{};
            placement.length = sizeof(placement);
            ::GetWindowPlacement(self, &placement);
            normal = placement.rcNormalPosition;
        });
    EXPECT_EQ(saving.DoModal(), IDOK);
    const std::wstring expected = std::to_wstring(normal.left) + L"," + std::to_wstring(normal.top) + L"," +
                                  std::to_wstring(normal.right) + L"," + std::to_wstring(normal.bottom) +
                                  L",1,0,0,0";
    EXPECT_EQ(key.Value(L"MainWindowPlacement"), expected);
}

}  // namespace
