#pragma once
// The look and common behaviour of the program's list views: report view
// with full-row selection, double buffering and the Explorer theme; Ctrl+A
// selects all rows and Ctrl+C copies the selected rows as text; a text is
// drawn when the list is empty; cell colours and font weights come from
// overridable operations; cells of chosen columns can be edited in place;
// the header draws the sort arrow.

#include "ui/SortHeaderCtrl.h"
#include "ui/win/GdiHandles.h"
#include "ui/win/Wnd.h"

#include <commctrl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

class CInPlaceEdit;

class CMyListCtrl : public CWnd {
public:
    // The commands of Ctrl+A and Ctrl+C.
    static constexpr WORD kSelectAllCommand = 0xE12A;
    static constexpr WORD kCopyCommand = 0xE122;
    // The control id of the in-place editor.
    static constexpr UINT kInPlaceEditId = 4321;

    CMyListCtrl() = default;

    // Creates the list view as a report view that always shows its
    // selection. Throws Windows::Error on failure.
    void Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    CSortHeaderCtrl& GetHeaderCtrl() noexcept { return header_; }
    int GetItemCount() const;
    int GetSelectedCount() const;
    std::wstring GetItemText(int item, int subItem) const;
    // The columns in display order.
    std::vector<int> GetColumnOrder() const;

    void SelectAllItems();
    // Puts the selected rows on the clipboard as text (see CopyText).
    void CopySelectedItems();

    // Columns (other than 0) whose cells a click on the focused row opens
    // for editing; the edit reports LVN_ENDLABELEDITW to the list's parent.
    void SetEditableColumns(std::set<int> columns) { editableColumns_ = std::move(columns); }
    // Opens the editor over a cell; null when the cell cannot be shown.
    CInPlaceEdit* EditSubItem(int item, int column);

    // Colours of the rows of a plain list, by item data.
    void SetItemColors(LPARAM itemData, COLORREF text, COLORREF background);
    virtual void RemoveItem(int index);
    virtual void RemoveAllItems();
    virtual void RemoveSelectedItems();

    // Drawn when the list has no rows; nothing when empty.
    virtual std::wstring GetEmptyText() const { return {}; }
    // Fills the text and background colours of the cell being drawn.
    virtual void GetCellColors(NMLVCUSTOMDRAW& draw) const;
    virtual int GetFontWeight(DWORD row, DWORD column) const;

    bool IsHeaderDragging() const noexcept { return headerDragging_; }
    bool IsHeaderTracking() const noexcept { return headerTracking_; }
    bool IsThumbTracking(bool horizontal) const noexcept { return horizontal ? hThumbTracking_ : vThumbTracking_; }

protected:
    // The style the list view is created with.
    virtual DWORD CreateStyle(DWORD style) const { return style | WS_CLIPCHILDREN | LVS_REPORT | LVS_SHOWSELALWAYS; }
    // Sets the window up, whether it was created or bound to a dialog's
    // list view.
    void OnSubclassed() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // A notification from the header; the list view's own handling is
    // Default().
    virtual LRESULT OnHeaderNotify(NMHDR& header);

private:
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    LRESULT OnSubItemPrePaint(NMLVCUSTOMDRAW& draw);
    void DrawEmptyText(HDC dc) const;
    LRESULT OnScroll(UINT message, WPARAM wParam);
    bool OnTab();
    bool TryEditCellAt(LPARAM point);

    CSortHeaderCtrl header_;
    WindowsPlatform::UniqueAcceleratorTable accelerators_;
    std::set<int> editableColumns_;
    WindowsPlatform::UniqueFont cellFont_;
    bool cellFontSelected_ = false;
    bool headerDragging_ = false;
    bool headerTracking_ = false;
    bool hThumbTracking_ = false;
    bool vThumbTracking_ = false;
    struct ItemColors {
        COLORREF text;
        COLORREF background;
    };
    std::map<LPARAM, ItemColors> itemColors_;
};

// The text Ctrl+C puts on the clipboard: per row, each cell followed by a
// tab (tabs inside a cell become four spaces), and "\r\n" after the row.
std::wstring CopyText(const std::vector<std::vector<std::wstring>>& rows);

// Where the empty-list text goes in a client area: 15 pixels in from the
// left and 5 from the other edges; a text lower than that space (measured
// height textHeight) is centred vertically in it.
RECT EmptyTextRect(const RECT& client, int textHeight);
