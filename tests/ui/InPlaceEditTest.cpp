#include "ui/InPlaceEdit.h"
#include "ui/MyListCtrl.h"

#include "ui/ListCtrlHarness.h"
#include "ui/TestWindows.h"

#include <gtest/gtest.h>

namespace {

struct EndedEdit {
    int row;
    int column;
    bool hasText;
    std::wstring text;
};

// Records the end-of-edit reports that reach the dialog.
class EditingDialog : public ScriptedDialog<CDialog> {
public:
    using ScriptedDialog<CDialog>::ScriptedDialog;
    std::vector<EndedEdit> ended;

protected:
    bool OnNotify(WPARAM, LPARAM lParam, LRESULT& result) override {
        const auto& info = *reinterpret_cast<const NMLVDISPINFOW*>(lParam);
        if (info.hdr.code != LVN_ENDLABELEDITW || info.hdr.idFrom != kListId) return false;
        ended.push_back({info.item.iItem, info.item.iSubItem, info.item.pszText != nullptr,
                         info.item.pszText != nullptr ? info.item.pszText : L""});
        result = 0;
        return true;
    }
};

void FillPlainList(HWND list) {
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNW heading{};
        heading.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        heading.fmt = column == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        heading.cx = 90;
        wchar_t text[] = L"Column";
        heading.pszText = text;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&heading));
    }
    for (int row = 0; row < 2; ++row) {
        std::wstring first = L"row " + std::to_wstring(row);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = first.data();
        ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < 3; ++column) {
            std::wstring cell = L"cell " + std::to_wstring(row) + L"." + std::to_wstring(column);
            LVITEMW sub{};
            sub.iSubItem = column;
            sub.pszText = cell.data();
            ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
        }
    }
}

LPARAM CellCentre(HWND list, int row, int column) {
    RECT cell{};
    cell.top = column;
    // The bounds of column 0 would be those of the whole row.
    cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    ::SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    return MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
}

void Focus(HWND list, int row) {
    LVITEMW state{};
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

TEST(InPlaceEditTest, ClickOnAnEditableCellOfTheFocusedRowEditsItAndReportsTheText) {
    CMyListCtrl list;
    EditingDialog dialog(
        ListDialog(0),
        [&](ScriptedDialog<CDialog>& self) {
            self.DDX_Control(kListId, list);
            list.SetEditableColumns({1, 2});
        },
        [&](ScriptedDialog<CDialog>&) {
            HWND hwnd = list.GetSafeHwnd();
            FillPlainList(hwnd);
            ::SetFocus(hwnd);
            Focus(hwnd, 1);

            // Another row, or a column that cannot be edited: an ordinary click.
            ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, CellCentre(hwnd, 0, 1));
            ::SendMessageW(hwnd, WM_LBUTTONUP, 0, CellCentre(hwnd, 0, 1));
            EXPECT_EQ(::GetDlgItem(hwnd, CMyListCtrl::kInPlaceEditId), nullptr);
            Focus(hwnd, 1);
            ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, CellCentre(hwnd, 1, 0));
            ::SendMessageW(hwnd, WM_LBUTTONUP, 0, CellCentre(hwnd, 1, 0));
            EXPECT_EQ(::GetDlgItem(hwnd, CMyListCtrl::kInPlaceEditId), nullptr);

            ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, CellCentre(hwnd, 1, 2));
            HWND edit = ::GetDlgItem(hwnd, CMyListCtrl::kInPlaceEditId);
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(WindowText(edit), L"cell 1.2");
            EXPECT_EQ(::GetFocus(), edit);
            EXPECT_NE(::GetWindowLongW(edit, GWL_STYLE) & ES_RIGHT, 0);
            DWORD start = 1, end = 0;
            ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, 8u);

            for (wchar_t c : std::wstring(L"new text")) ::SendMessageW(edit, WM_CHAR, c, 0);
            ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
            EXPECT_FALSE(::IsWindow(edit));
            EXPECT_EQ(::GetFocus(), hwnd);
        });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(dialog.ended.size(), 1u);
    EXPECT_EQ(dialog.ended[0].row, 1);
    EXPECT_EQ(dialog.ended[0].column, 2);
    EXPECT_TRUE(dialog.ended[0].hasText);
    EXPECT_EQ(dialog.ended[0].text, L"new text");
}

TEST(InPlaceEditTest, EscapeCancelsWithoutAText) {
    CMyListCtrl list;
    EditingDialog dialog(
        ListDialog(0), [&](ScriptedDialog<CDialog>& self) { self.DDX_Control(kListId, list); },
        [&](ScriptedDialog<CDialog>&) {
            HWND hwnd = list.GetSafeHwnd();
            FillPlainList(hwnd);
            ::SetFocus(hwnd);
            CInPlaceEdit* edit = list.EditSubItem(0, 1);
            ASSERT_NE(edit, nullptr);
            HWND editWindow = edit->GetSafeHwnd();
            // The dialog lets the edit have Escape rather than closing.
            EXPECT_NE(::SendMessageW(editWindow, WM_GETDLGCODE, VK_ESCAPE, 0) & DLGC_WANTALLKEYS, 0);
            ::SendMessageW(editWindow, WM_CHAR, L'z', 0);
            ::SendMessageW(editWindow, WM_KEYDOWN, VK_ESCAPE, 0);
            EXPECT_FALSE(::IsWindow(editWindow));
        });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(dialog.ended.size(), 1u);
    EXPECT_FALSE(dialog.ended[0].hasText);
    EXPECT_EQ(dialog.ended[0].column, 1);
}

}  // namespace
