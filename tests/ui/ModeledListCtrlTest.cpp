#include "ui/ModeledListCtrl.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "ui/ListCtrlHarness.h"
#include "ui/TestListModels.h"
#include "ui/TestWindows.h"

#include <uxtheme.h>

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::wstring>;
using TestDialog = ScriptedDialog<CDialog>;

// A fruit table: three rows, two columns, sorted by name.
class ModeledListCtrlTest : public ::testing::Test {
protected:
    ListModels models{{"Name", "Count"}, {{"pear", "3"}, {"Apple", "1"}, {"fig", "2"}}};
    CModeledListCtrl list{models.table, models.selection, models.columns};

    // Runs steps inside a dialog whose list view is bound to the control.
    void RunWithList(const std::function<void(HWND list)>& steps) {
        TestDialog dialog(
            ListDialog(LVS_OWNERDATA), [this](TestDialog& self) { self.DDX_Control(kListId, list); },
            [&](TestDialog&) { steps(list.GetSafeHwnd()); });
        ASSERT_EQ(dialog.DoModal(), IDOK);
    }
};

TEST_F(ModeledListCtrlTest, ShowsTheModelsRowsSortedWithItsHeadings) {
    RunWithList([&](HWND hwnd) {
        EXPECT_NE(::GetWindowLongW(hwnd, GWL_STYLE) & WS_CLIPCHILDREN, 0);
        const auto extended = ::SendMessageW(hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_NE(extended & LVS_EX_FULLROWSELECT, 0);
        HWND header = list.GetHeaderCtrl().GetSafeHwnd();
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_EQ(HeaderText(header, 0), L"Name");
        EXPECT_EQ(HeaderText(header, 1), L"Count");

        EXPECT_EQ(ListColumnTexts(hwnd, 0), (Texts{L"Apple", L"fig", L"pear"}));
        EXPECT_EQ(ListColumnTexts(hwnd, 1), (Texts{L"1", L"2", L"3"}));

        models.table.SetRows({{"kiwi", "4"}, {"banana", "5"}});
        EXPECT_EQ(ListColumnTexts(hwnd, 0), (Texts{L"banana", L"kiwi"}));
        models.table.SetRows({});
        EXPECT_EQ(::SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0), 0);
    });
}

TEST_F(ModeledListCtrlTest, HiddenColumnLeavesTheHeaderAndComesBack) {
    RunWithList([&](HWND hwnd) {
        HWND header = list.GetHeaderCtrl().GetSafeHwnd();
        models.columns.SetVisible(0, false);
        EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 1);
        EXPECT_EQ(HeaderText(header, 0), L"Count");
        // Without the sort column the rows keep the order they had.
        EXPECT_EQ(ListColumnTexts(hwnd, 0), (Texts{L"1", L"2", L"3"}));
        models.columns.SetVisible(0, true);
        EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_EQ(HeaderText(header, 0), L"Name");
    });
}

TEST_F(ModeledListCtrlTest, SelectionFromTheModelShowsWithoutComingBack) {
    RunWithList([&](HWND hwnd) {
        models.selection.SetSelected(std::set<DWORD>{models.table.RowOf("fig")}, true);
        models.selection.SetFocus(models.table.RowOf("pear"));
        EXPECT_EQ(models.selection.changes, 1);
        EXPECT_FALSE(ListItemHasState(hwnd, 0, LVIS_SELECTED));
        EXPECT_TRUE(ListItemHasState(hwnd, 1, LVIS_SELECTED));
        EXPECT_FALSE(ListItemHasState(hwnd, 2, LVIS_SELECTED));
        EXPECT_TRUE(ListItemHasState(hwnd, 2, LVIS_FOCUSED));

        models.selection.SelectAll(true);
        EXPECT_EQ(models.selection.changes, 2);
        for (int item = 0; item < 3; ++item) EXPECT_TRUE(ListItemHasState(hwnd, item, LVIS_SELECTED));
        EXPECT_EQ(models.selection.GetSelectedCount(), 3u);
    });
}

TEST_F(ModeledListCtrlTest, SelectionMadeInTheListReachesTheModelOnce) {
    RunWithList([&](HWND hwnd) {
        UserSetsItemState(hwnd, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_EQ(models.selection.changes, 1);
        EXPECT_TRUE(models.selection.IsSelected(models.table.RowOf("pear")));
        EXPECT_EQ(models.selection.GetSelectedCount(), 1u);
        EXPECT_EQ(models.selection.GetFocus(), NullOr<DWORD>(models.table.RowOf("pear")));

        // Ctrl+A selects every row of the model.
        {
            KeyHeldDown control(VK_CONTROL);
            ::SendMessageW(hwnd, WM_KEYDOWN, 'A', 0);
        }
        EXPECT_EQ(models.selection.GetSelectedCount(), 3u);
    });
}

TEST_F(ModeledListCtrlTest, HeadingClickSortsAndAgainReversesWithTheArrow) {
    RunWithList([&](HWND hwnd) {
        HWND header = list.GetHeaderCtrl().GetSafeHwnd();
        auto click = [header](int item) {
            RECT rect{};
            ::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
            const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
            ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
            ::SendMessageW(header, WM_LBUTTONUP, 0, point);
        };
        const bool themed = ::IsAppThemed() != FALSE;
        auto arrowOn = [&](int item, bool ascending) {
            EXPECT_EQ(list.GetHeaderCtrl().SortColumn(), item);
            EXPECT_EQ(list.GetHeaderCtrl().IsSortAscending(), ascending);
            const int format = HeaderFormat(header, item);
            if (themed) {
                EXPECT_NE(format & (ascending ? HDF_SORTUP : HDF_SORTDOWN), 0);
                EXPECT_EQ(format & (ascending ? HDF_SORTDOWN : HDF_SORTUP), 0);
            } else {
                EXPECT_NE(format & HDF_OWNERDRAW, 0);
            }
        };
        arrowOn(0, true);

        click(0);
        EXPECT_EQ(ListColumnTexts(hwnd, 0), (Texts{L"pear", L"fig", L"Apple"}));
        arrowOn(0, false);
        click(0);
        EXPECT_EQ(ListColumnTexts(hwnd, 0), (Texts{L"Apple", L"fig", L"pear"}));
        arrowOn(0, true);

        models.table.SetRows({{"pear", "1"}, {"Apple", "3"}, {"fig", "2"}});
        click(1);
        EXPECT_EQ(ListColumnTexts(hwnd, 0), (Texts{L"pear", L"fig", L"Apple"}));
        arrowOn(1, true);
        if (themed) {
            EXPECT_EQ(HeaderFormat(header, 0) & (HDF_SORTUP | HDF_SORTDOWN), 0);
        }
        // Repainting the header draws the arrow without failing.
        ::RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    });
}

// Counts the pixels of a colour that a header paints into a bitmap, in the
// right part of one of its items.
int PixelsNearTheRightEdge(HWND header, int item, COLORREF colour) {
    RECT client{};
    ::GetClientRect(header, &client);
    HDC screen = ::GetDC(header);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(header, screen);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::SendMessageW(header, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    RECT rect{};
    ::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.right - 30; x < rect.right; ++x)
            if (::GetPixel(dc, x, y) == colour) ++count;
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return count;
}

TEST_F(ModeledListCtrlTest, WithoutVisualStylesTheHeaderDrawsTheArrowItself) {
    // Wine always runs with visual styles: the header is told they are off.
    WindowsPlatform::ScopedFault unthemed("IsAppThemed", ERROR_NOT_SUPPORTED);
    RunWithList([&](HWND) {
        HWND header = list.GetHeaderCtrl().GetSafeHwnd();
        EXPECT_NE(HeaderFormat(header, 0) & HDF_OWNERDRAW, 0);
        EXPECT_EQ(HeaderFormat(header, 0) & (HDF_SORTUP | HDF_SORTDOWN), 0);
        const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
        EXPECT_GT(PixelsNearTheRightEdge(header, 0, shadow), 0);

        models.columns.SortBy(1);
        EXPECT_NE(HeaderFormat(header, 1) & HDF_OWNERDRAW, 0);
        EXPECT_GT(PixelsNearTheRightEdge(header, 1, shadow), 0);
        // The former sort column is drawn without its arrow.
        EXPECT_EQ(PixelsNearTheRightEdge(header, 0, shadow), 0);
    });
}

TEST_F(ModeledListCtrlTest, SelectionFollowsItsRowsThroughASort) {
    RunWithList([&](HWND hwnd) {
        models.selection.SetSelected(std::set<DWORD>{models.table.RowOf("Apple")}, true);
        models.columns.SortBy(0);  // descending
        EXPECT_EQ(ListColumnTexts(hwnd, 0), (Texts{L"pear", L"fig", L"Apple"}));
        EXPECT_TRUE(ListItemHasState(hwnd, 2, LVIS_SELECTED));
        EXPECT_FALSE(ListItemHasState(hwnd, 0, LVIS_SELECTED));
    });
}

TEST_F(ModeledListCtrlTest, CopyPutsTheSelectedRowsOnTheClipboard) {
    models.table.SetRows({{"pear", "3"}, {"Apple", "one\ttwo"}, {"fig", "2"}});
    RunWithList([&](HWND hwnd) {
        models.selection.SelectAll(true);
        {
            KeyHeldDown control(VK_CONTROL);
            ::SendMessageW(hwnd, WM_KEYDOWN, 'C', 0);
        }
        EXPECT_EQ(ClipboardText(), L"Apple\tone    two\t\r\nfig\t2\t\r\npear\t3\t\r\n");

        // Only selected rows, in the list's order.
        models.selection.SelectAll(false);
        models.selection.SetSelected(std::set<DWORD>{models.table.RowOf("pear"), models.table.RowOf("Apple")}, true);
        {
            KeyHeldDown control(VK_CONTROL);
            ::SendMessageW(hwnd, WM_KEYDOWN, 'C', 0);
        }
        EXPECT_EQ(ClipboardText(), L"Apple\tone    two\t\r\npear\t3\t\r\n");
    });
}

TEST_F(ModeledListCtrlTest, TypeAheadFindsTheNextRowByItsBeginningAndWraps) {
    models.table.SetRows({{"pear", "3"}, {"Apple", "1"}, {"fig", "2"}, {"apricot", "4"}});
    RunWithList([&](HWND hwnd) {
        // Shown as Apple, apricot, fig, pear.
        auto find = [hwnd](int start, const wchar_t* text) {
            LVFINDINFOW info{};
            info.flags = LVFI_STRING | LVFI_PARTIAL;
            info.psz = text;
            return static_cast<int>(
                ::SendMessageW(hwnd, LVM_FINDITEMW, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&info)));
        };
        EXPECT_EQ(find(-1, L"FI"), 2);
        EXPECT_EQ(find(2, L"ap"), 0);  // from fig onwards, round to the top
        EXPECT_EQ(find(-1, L"kiwi"), -1);
    });
}

TEST_F(ModeledListCtrlTest, HeaderChangesAreStoredInTheColumnSettings) {
    RunWithList([&](HWND hwnd) {
        HWND header = list.GetHeaderCtrl().GetSafeHwnd();
        ::SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, 1, 77);
        NMHEADERW track{{header, 0, static_cast<UINT>(HDN_ENDTRACKW)}, 1, 0, nullptr};
        ::SendMessageW(hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&track));
        PumpMessages();
        EXPECT_EQ(models.columns.GetWidth(1), 77);

        int order[2] = {1, 0};
        ::SendMessageW(hwnd, LVM_SETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(order));
        NMHEADERW drag{{header, 0, static_cast<UINT>(HDN_ENDDRAG)}, 1, 0, nullptr};
        ::SendMessageW(hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&drag));
        PumpMessages();
        EXPECT_TRUE(models.columns.IsOrderedBefore(1, 0));
        EXPECT_EQ(HeaderText(header, 0), L"Count");
        EXPECT_EQ(ListItemText(hwnd, 0, 0), L"1");
    });
}

std::wstring ToolTipText(HWND tip, HWND list) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    if (!::SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) return L"<no tool>";
    wchar_t text[2048] = {};
    TTTOOLINFOW request{};
    request.cbSize = TTTOOLINFOW_V2_SIZE;
    request.hwnd = list;
    request.uId = tool.uId;
    request.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 2048, reinterpret_cast<LPARAM>(&request));
    return text;
}

TEST_F(ModeledListCtrlTest, CellsWhoseTextIsCutOffGetATooltipOfAtMostTwentySevenLines) {
    std::string tall = "first";
    for (int line = 2; line <= 30; ++line) tall += "\nline " + std::to_string(line);
    models.table.SetRows({{"Apple", "1"}, {"fig", tall}});
    RunWithList([&](HWND hwnd) {
        HWND tip = list.GetCellToolTip();
        ASSERT_NE(tip, nullptr);
        auto hover = [&](int row, int column) {
            RECT cell{};
            cell.top = column;
            cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
            ::SendMessageW(hwnd, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
            ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 5, (cell.top + cell.bottom) / 2));
            return ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0);
        };
        EXPECT_EQ(hover(0, 1), 0);  // "1" fits its column
        ASSERT_EQ(hover(1, 1), 1);
        const std::wstring text = ToolTipText(tip, hwnd);
        EXPECT_EQ(text.substr(0, 13), L"first\r\nline 2");
        EXPECT_EQ(text.substr(text.size() - 14), L"line 27\r\n<...>");
        EXPECT_EQ(hover(0, 0), 0);
    });
}

// Thrown by a listener; never written as a dump.
struct ListenerFailed : NonDumpableException {};

TEST_F(ModeledListCtrlTest, OwnerSignalsAreEmittedAndAFailingListenerIsDropped) {
    int doubleClicks = 0;
    int focusGained = 0;
    std::vector<POINT> menus;
    list.doubleClicked.connect([&] { ++doubleClicks; });
    list.doubleClicked.connect([] { throw ListenerFailed(); });
    list.gotFocus.connect([&] { ++focusGained; });
    list.contextMenu.connect([&](POINT point) { menus.push_back(point); });
    RunWithList([&](HWND hwnd) {
        NMITEMACTIVATE click{};
        click.hdr = {hwnd, kListId, static_cast<UINT>(NM_DBLCLK)};
        ::SendMessageW(::GetParent(hwnd), WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(doubleClicks, 1);

        const int gainedBefore = focusGained;
        NMHDR focus{hwnd, kListId, static_cast<UINT>(NM_SETFOCUS)};
        ::SendMessageW(::GetParent(hwnd), WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&focus));
        EXPECT_EQ(focusGained, gainedBefore + 1);

        // From the keyboard: nothing without a focused row, else a point
        // on the focused row.
        ::SendMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
        EXPECT_TRUE(menus.empty());
        models.selection.SetFocus(models.table.RowOf("fig"));
        ::SendMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
        ASSERT_EQ(menus.size(), 1u);
        RECT row{};
        row.left = LVIR_BOUNDS;
        ::SendMessageW(hwnd, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
        POINT expected{(row.bottom - row.top) / 2, row.top + (row.bottom - row.top) / 2};
        ::ClientToScreen(hwnd, &expected);
        EXPECT_EQ(menus[0].x, expected.x);
        EXPECT_EQ(menus[0].y, expected.y);
        ::SendMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(30, 40));
        ASSERT_EQ(menus.size(), 2u);
        EXPECT_EQ(menus[1].x, 30);
    });
}

// Counts the dark pixels a list paints into a white bitmap.
int DarkPixelsPainted(HWND list) {
    RECT client{};
    ::GetClientRect(list, &client);
    HDC screen = ::GetDC(list);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(list, screen);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    int dark = 0;
    for (int y = 0; y < client.bottom; y += 1)
        for (int x = 0; x < client.right; x += 1)
            if ((::GetPixel(dc, x, y) & 0xFF) < 0x80) ++dark;
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return dark;
}

TEST_F(ModeledListCtrlTest, EmptyListShowsTheModelsEmptyText) {
    models.table.SetRows({});
    models.table.SetEmptyText("No installed products found.");
    int withText = 0;
    int withoutText = 0;
    RunWithList([&](HWND hwnd) {
        EXPECT_EQ(list.GetEmptyText(), L"No installed products found.");
        withText = DarkPixelsPainted(hwnd);
        models.table.SetEmptyText("");
        withoutText = DarkPixelsPainted(hwnd);
    });
    EXPECT_GT(withText, withoutText + 20);
}

TEST_F(ModeledListCtrlTest, ConnectionsEndWithTheWindow) {
    RunWithList([](HWND) {});
    EXPECT_EQ(list.GetSafeHwnd(), nullptr);
    // The models may change after the dialog has gone.
    models.table.SetRows({{"kiwi", "4"}});
    models.selection.SelectAll(true);
    models.columns.SortBy(1);
    EXPECT_EQ(models.selection.GetSelectedCount(), 1u);
}

}  // namespace
