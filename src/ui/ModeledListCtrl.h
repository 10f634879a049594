#pragma once
// An owner-data list view over the three list models: it stores no rows and
// asks the models for the row count, every cell text, colour and state when
// it draws; selection and focus changes made by the user go back to the
// selection model, and changes of the models come back to the view through
// their signals. The control sees the models through the sorting maps and
// mapping models, so its rows and columns are view rows and columns: sorted
// by the sort columns, only visible columns, in display order.

#include "ui/MyListCtrl.h"
#include "ui/TrackableWnd.h"
#include "ui/models/ListCtrlColumnSettingsModel.h"
#include "ui/models/ListCtrlModel.h"
#include "ui/models/ListCtrlSelectionModel.h"
#include "ui/models/MappingListCtrlColumnSettingsModel.h"
#include "ui/models/MappingListCtrlModel.h"
#include "ui/models/MappingListCtrlSelectionModel.h"
#include "ui/models/SortingListCtrlMap.h"
#include "ui/win/ToolTip.h"

#include <boost/signals2/signal.hpp>

#include <set>
#include <string>

class CModeledListCtrl : public TrackableWnd<CMyListCtrl> {
public:
    // The control's own messages, posted to itself after the header changed.
    static constexpr UINT kStoreColumnOrder = 0x8001;
    static constexpr UINT kStoreColumnWidths = 0x8002;

    // The three models must outlive the control.
    CModeledListCtrl(ListCtrlModel& model, ListCtrlSelectionModel& selection, ListCtrlColumnSettingsModel& columns);

    // For the owner. A listener that throws has its exception dumped (when
    // dumpable) and dropped.
    boost::signals2::signal<void(POINT)> contextMenu;  // screen point
    boost::signals2::signal<void()> doubleClicked;
    boost::signals2::signal<void()> gotFocus;
    boost::signals2::signal<void()> lostFocus;

    // Whether a click on a heading sorts by its column (on at first).
    void SetSortOnHeaderClick(bool sort) noexcept { sortOnHeaderClick_ = sort; }

    // The models as the control sees them.
    ListCtrlModel& ViewModel() noexcept { return viewModel_; }
    ListCtrlSelectionModel& ViewSelection() noexcept { return viewSelection_; }
    ListCtrlColumnSettingsModel& ViewColumnSettings() noexcept { return viewColumns_; }

    // The tooltip of cells whose text is cut off.
    HWND GetCellToolTip() const noexcept { return toolTip_.Hwnd(); }

    std::wstring GetEmptyText() const override;
    void GetCellColors(NMLVCUSTOMDRAW& draw) const override;
    int GetFontWeight(DWORD row, DWORD column) const override;

protected:
    DWORD CreateStyle(DWORD style) const override { return CMyListCtrl::CreateStyle(style) | LVS_OWNERDATA; }
    void OnSubclassed() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    LRESULT OnHeaderNotify(NMHDR& header) override;

private:
    void AttachModels();
    void Reload();
    void SetItemCount();
    void SyncStates(const std::set<DWORD>& rows);
    void SyncFocus(NullOr<DWORD> row);
    void RebuildColumns();
    void SetItemState(int item, UINT state, UINT mask);

    void OnGetDispInfo(NMLVDISPINFOW& info, bool wide);
    void OnItemChanged(const NMLISTVIEW& change);
    void OnStateChanged(const NMLVODSTATECHANGE& change);
    void OnSetDispInfo(const NMLVDISPINFOW& info);
    LRESULT OnFindItem(const NMLVFINDITEMW& find);
    void OnContextMenu(LPARAM point);
    void ShowHeaderMenu();
    void StoreColumnOrder();
    void StoreColumnWidths();
    void UpdateToolTip(LPARAM point);
    bool OnToolTipText(NMHDR& header);

    template <class Signal, class... Args>
    void Emit(Signal& signal, Args... args) noexcept;

    ListCtrlModel& sourceModel_;
    ListCtrlSelectionModel& sourceSelection_;
    ListCtrlColumnSettingsModel& sourceColumns_;
    SortingListCtrlMap rowMap_;
    SortingListCtrlColumnMap columnMap_;
    MappingListCtrlModel viewModel_;
    MappingListCtrlSelectionModel viewSelection_;
    MappingListCtrlColumnSettingsModel viewColumns_;
    bool sortOnHeaderClick_ = true;
    bool updating_ = false;
    ToolTipWindow toolTip_;
    std::string narrowToolTip_;
    std::wstring wideToolTip_;
};

// The text a cell tooltip shows: split at "\r\n", "\n\r", "\r" or "\n"
// (two unlike break characters in a row are one break), a text of more
// than 28 lines cut to its first 27, each ended by "\r\n", and "<...>";
// every tab becomes one space.
std::wstring ToolTipDisplayText(const std::wstring& text);

// Whether the header menu may toggle a column: showing a hidden column
// always, hiding one only while another column stays visible.
bool MayToggleColumn(bool columnVisible, DWORD visibleColumns);

// Type-ahead search: the first row, from start to the last row and then
// from row 0 on, whose text in the column begins with prefix, ignoring
// case; −1 when none does.
int FindRowByPrefix(const ListCtrlModel& model, DWORD column, const std::wstring& prefix, DWORD start);
