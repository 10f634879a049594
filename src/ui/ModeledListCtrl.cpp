#include "ui/ModeledListCtrl.h"

#include "platform/MiniDump.h"
#include "platform/Text.h"
#include "ui/win/GdiHandles.h"


#include <algorithm>
#include <cwchar>
#include <numeric>

std::wstring ToolTipDisplayText(const std::wstring& text) {
    std::vector<std::wstring> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c != L'\r' && c != L'\n') {
            lines.back() += c == L'\t' ? L' ' : c;
            continue;
        }
        const bool pair = i + 1 < text.size() && (text[i + 1] == L'\r' || text[i + 1] == L'\n') && text[i + 1] != c;
        if (pair) ++i;
        lines.emplace_back();
    }
    if (lines.size() <= 28) {
        std::wstring shown = text;
        std::replace(shown.begin(), shown.end(), L'\t', L' ');
        return shown;
    }
    std::wstring cut;
    for (size_t i = 0; i < 27; ++i) cut += lines[i] + L"\r\n";
    return cut + L"<...>";
}

bool MayToggleColumn(bool columnVisible, DWORD visibleColumns) {
    return !columnVisible || visibleColumns > 1;
}

int FindRowByPrefix(const ListCtrlModel& model, DWORD column, const std::wstring& prefix, DWORD start) {
    const DWORD count = model.GetRowCount();
    if (count == 0) return -1;
    if (start >= count) start = 0;
    const int length = static_cast<int>(prefix.size());
    for (DWORD step = 0; step < count; ++step) {
        const DWORD row = (start + step) % count;
        const std::wstring text = TranscodeU8ToU16(model.GetText(row, column));
        if (text.size() < prefix.size()) continue;
        if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), length, prefix.c_str(), length) ==
            CSTR_EQUAL)
            return static_cast<int>(row);
    }
    return -1;
}

CModeledListCtrl::CModeledListCtrl(ListCtrlModel& model, ListCtrlSelectionModel& selection,
                                   ListCtrlColumnSettingsModel& columns)
    : sourceModel_(model),
      sourceSelection_(selection),
      sourceColumns_(columns),
      rowMap_(model, columns),
      columnMap_(model, columns),
      viewModel_(model, rowMap_, columnMap_),
      viewSelection_(selection, rowMap_),
      viewColumns_(columns, columnMap_) {
    GetHeaderCtrl().SetModels(&viewModel_, &viewColumns_);
}

template <class Signal, class... Args>
void CModeledListCtrl::Emit(Signal& signal, Args... args) noexcept {
    WindowsPlatform::RunInsideDumpGuard([&] { signal(args...); });
}

void CModeledListCtrl::OnSubclassed() {
    CMyListCtrl::OnSubclassed();
    const auto mask = static_cast<UINT>(SendMessage(LVM_GETCALLBACKMASK));
    SendMessage(LVM_SETCALLBACKMASK, mask | LVIS_FOCUSED | LVIS_SELECTED);
    AttachModels();
    toolTip_.Create(GetSafeHwnd());
    toolTip_.SetMaxWidth(600);
}

void CModeledListCtrl::AttachModels() {
    DisconnectAll();
    Track(viewModel_.changed.connect([this] { Reload(); }));
    Track(viewModel_.columnsChanged.connect(
        [this](const std::vector<DWORD>&) { ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE); }));
    Track(viewSelection_.selectionChanged.connect([this](const std::set<DWORD>& rows) { SyncStates(rows); }));
    Track(viewSelection_.focusChanged.connect([this](NullOr<DWORD> row) { SyncFocus(row); }));
    Track(viewColumns_.changed.connect([this] { RebuildColumns(); }));
    Reload();
    SyncStates({});
    SyncFocus(viewSelection_.GetFocus());
    RebuildColumns();
}

void CModeledListCtrl::SetItemCount() {
    SendMessage(LVM_SETITEMCOUNT, viewModel_.GetRowCount(), LVSICF_NOSCROLL);
}

void CModeledListCtrl::Reload() {
    SetItemCount();
    SyncStates({});
    SetItemCount();
    SyncFocus(viewSelection_.GetFocus());
}

void CModeledListCtrl::SetItemState(int item, UINT state, UINT mask) {
    LVITEMW change{};
    change.state = state;
    change.stateMask = mask;
    SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&change));
}

namespace {

// Marks the control as changing item states itself, so the notifications
// this causes do not go back into the model.
class UpdatingScope {
public:
    explicit UpdatingScope(bool& updating) : updating_(updating), saved_(updating) { updating = true; }
    ~UpdatingScope() { updating_ = saved_; }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

private:
    bool& updating_;
    bool saved_;
};

}  // namespace

void CModeledListCtrl::SyncStates(const std::set<DWORD>& rows) {
    SetItemCount();
    UpdatingScope scope(updating_);
    const DWORD count = viewModel_.GetRowCount();
    if (!rows.empty()) {
        for (DWORD row : rows) {
            if (row >= count) continue;
            SetItemState(static_cast<int>(row), viewSelection_.IsSelected(row) ? LVIS_SELECTED : 0, LVIS_SELECTED);
        }
        return;
    }
    // All rows: start from the state most rows have, then set the others.
    const bool mostSelected = count / 2 < viewSelection_.GetSelectedCount();
    SetItemState(-1, mostSelected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    for (DWORD row = 0; row < count; ++row) {
        const bool selected = viewSelection_.IsSelected(row);
        if (selected != mostSelected) SetItemState(static_cast<int>(row), selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
}

void CModeledListCtrl::SyncFocus(NullOr<DWORD> row) {
    SetItemCount();
    UpdatingScope scope(updating_);
    if (row.HasValue() && row.Value() < viewModel_.GetRowCount())
        SetItemState(static_cast<int>(row.Value()), LVIS_FOCUSED, LVIS_FOCUSED);
    else
        SetItemState(-1, 0, LVIS_FOCUSED);
}

void CModeledListCtrl::RebuildColumns() {
    CSortHeaderCtrl& header = GetHeaderCtrl();
    if (header.GetSafeHwnd() == nullptr) return;
    SendMessage(WM_SETREDRAW, FALSE);
    const DWORD count = viewModel_.GetColumnCount();
    const auto existing = static_cast<DWORD>(std::max(header.GetItemCount(), 0));
    for (DWORD column = 0; column < count; ++column) {
        std::wstring heading = TranscodeU8ToU16(viewModel_.GetColumnHeading(column));
        LVCOLUMNW item{};
        item.pszText = heading.data();
        item.cx = viewColumns_.GetWidth(column);
        if (column < existing) {
            item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_ORDER;
            item.iOrder = static_cast<int>(column);
            SendMessage(LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
        } else {
            item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            item.fmt = LVCFMT_LEFT;
            SendMessage(LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
        }
    }
    for (DWORD column = existing; column > count; --column) SendMessage(LVM_DELETECOLUMN, column - 1);

    const NullOr<DWORD> sortColumn = viewColumns_.GetSortColumn();
    if (sortColumn.HasValue()) {
        header.SetSortArrow(static_cast<int>(sortColumn.Value()), viewColumns_.IsSortAscending());
        Reload();
    } else {
        // Without a shown sort column no heading keeps an arrow.
        header.SetSortArrow(-1, viewColumns_.IsSortAscending());
    }
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

std::wstring CModeledListCtrl::GetEmptyText() const {
    return TranscodeU8ToU16(viewModel_.GetEmptyText());
}

void CModeledListCtrl::GetCellColors(NMLVCUSTOMDRAW& draw) const {
    const auto row = static_cast<DWORD>(draw.nmcd.dwItemSpec);
    const auto column = static_cast<DWORD>(draw.iSubItem);
    if (row >= viewModel_.GetRowCount() || column >= viewModel_.GetColumnCount()) return;
    draw.clrText = viewModel_.GetTextColor(row, column);
    draw.clrTextBk = viewModel_.GetBackgroundColor(row, column);
}

int CModeledListCtrl::GetFontWeight(DWORD row, DWORD column) const {
    if (row >= viewModel_.GetRowCount() || column >= viewModel_.GetColumnCount()) return FW_NORMAL;
    return viewModel_.GetFontWeight(row, column);
}

void CModeledListCtrl::OnGetDispInfo(NMLVDISPINFOW& info, bool wide) {
    LVITEMW& item = info.item;
    if (item.iItem < 0 || static_cast<DWORD>(item.iItem) >= viewModel_.GetRowCount()) return;
    const auto row = static_cast<DWORD>(item.iItem);
    const auto column = static_cast<DWORD>(item.iSubItem);
    if (column == 0 && viewModel_.GetColumnCount() == 0) return;
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        std::wstring text;
        try {
            text = TranscodeU8ToU16(viewModel_.GetText(row, column));
        } catch (...) {
            text = L"<Invalid String>";
        }
        if (wide) {
            wcsncpy_s(item.pszText, static_cast<size_t>(item.cchTextMax), text.c_str(), _TRUNCATE);
        } else {
            const std::string narrow = Utf16ToAnsi(text);
            strncpy_s(reinterpret_cast<char*>(item.pszText), static_cast<size_t>(item.cchTextMax), narrow.c_str(),
                      _TRUNCATE);
        }
    }
    if ((item.mask & LVIF_IMAGE) != 0) item.iImage = viewModel_.GetImage(row);
    if ((item.mask & LVIF_STATE) != 0) {
        if (viewSelection_.IsSelected(row)) item.state |= LVIS_SELECTED;
        if (viewSelection_.IsFocused(row)) item.state |= LVIS_FOCUSED;
    }
}

void CModeledListCtrl::OnItemChanged(const NMLISTVIEW& change) {
    if (updating_ || (change.uChanged & LVIF_STATE) == 0) return;
    const bool selectionChanged = ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0;
    const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
    if (change.iItem < 0) {
        if (selectionChanged) viewSelection_.SelectAll(selected);
        return;
    }
    const auto row = static_cast<DWORD>(change.iItem);
    if (selectionChanged) viewSelection_.SetSelected(row, selected);
    if ((change.uNewState & LVIS_FOCUSED) != 0) viewSelection_.SetFocus(row);
}

void CModeledListCtrl::OnStateChanged(const NMLVODSTATECHANGE& change) {
    if (updating_ || change.iFrom < 0 || change.iTo < change.iFrom) return;
    if (((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) {
        std::set<DWORD> rows;
        for (int row = change.iFrom; row <= change.iTo; ++row) rows.insert(static_cast<DWORD>(row));
        viewSelection_.SetSelected(rows, (change.uNewState & LVIS_SELECTED) != 0);
    }
    if ((change.uNewState & LVIS_FOCUSED) != 0)
        for (int row = change.iFrom; row <= change.iTo; ++row) viewSelection_.SetFocus(static_cast<DWORD>(row));
}

void CModeledListCtrl::OnSetDispInfo(const NMLVDISPINFOW& info) {
    if (updating_ || (info.item.mask & LVIF_STATE) == 0 || info.item.iItem < 0) return;
    const auto row = static_cast<DWORD>(info.item.iItem);
    viewSelection_.SetSelected(row, (info.item.state & LVIS_SELECTED) != 0);
    if ((info.item.state & LVIS_FOCUSED) != 0) viewSelection_.SetFocus(row);
}

LRESULT CModeledListCtrl::OnFindItem(const NMLVFINDITEMW& find) {
    if ((find.lvfi.flags & LVFI_STRING) == 0 || find.lvfi.psz == nullptr) return -1;
    const int sortColumn = GetHeaderCtrl().SortColumn();
    const DWORD column = sortColumn >= 0 ? static_cast<DWORD>(sortColumn) : 0;
    if (column >= viewModel_.GetColumnCount()) return -1;
    return FindRowByPrefix(viewModel_, column, find.lvfi.psz, static_cast<DWORD>(std::max(find.iStart, 0)));
}

void CModeledListCtrl::OnContextMenu(LPARAM point) {
    POINT screen = PointFromLParam(point);
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard: on the focused row. The focus is a callback
        // state, so the model knows it even where the list view does not.
        const NullOr<DWORD> focusedRow = viewSelection_.GetFocus();
        if (!focusedRow.HasValue() || focusedRow.Value() >= viewModel_.GetRowCount()) return;
        const auto focused = static_cast<int>(focusedRow.Value());
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        if (!SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&rect))) return;
        const int half = (rect.bottom - rect.top) / 2;
        screen = {half, rect.top + half};
        ::ClientToScreen(GetSafeHwnd(), &screen);
    }
    Emit(contextMenu, screen);
}

void CModeledListCtrl::ShowHeaderMenu() {
    const DWORD count = sourceModel_.GetColumnCount();
    std::vector<DWORD> listed;
    for (DWORD column = 0; column < count; ++column)
        if (sourceColumns_.CanHide(column)) listed.push_back(column);
    std::stable_sort(listed.begin(), listed.end(),
                     [this](DWORD a, DWORD b) { return sourceColumns_.IsOrderedBefore(a, b); });

    WindowsPlatform::UniqueMenu menu(::CreatePopupMenu());
    if (!menu) return;
    for (DWORD column : listed) {
        const std::wstring heading = TranscodeU8ToU16(sourceModel_.GetColumnHeading(column));
        const UINT flags = MF_STRING | (sourceColumns_.IsVisible(column) ? MF_CHECKED : MF_UNCHECKED);
        ::AppendMenuW(menu.Get(), flags, column + 1, heading.c_str());
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const auto chosen = static_cast<DWORD>(::TrackPopupMenu(
        menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, GetSafeHwnd(), nullptr));
    if (chosen == 0) return;
    const DWORD column = chosen - 1;
    DWORD visible = 0;
    for (DWORD c = 0; c < count; ++c)
        if (sourceColumns_.IsVisible(c)) ++visible;
    const bool columnVisible = sourceColumns_.IsVisible(column);
    if (MayToggleColumn(columnVisible, visible)) sourceColumns_.SetVisible(column, !columnVisible);
}

void CModeledListCtrl::StoreColumnOrder() {
    std::vector<DWORD> order;
    for (int column : GetColumnOrder()) order.push_back(static_cast<DWORD>(column));
    viewColumns_.SetOrder(order);
}

void CModeledListCtrl::StoreColumnWidths() {
    const DWORD count = viewModel_.GetColumnCount();
    std::vector<int> widths;
    for (DWORD column = 0; column < count; ++column)
        widths.push_back(static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, column)));
    // Each change rebuilds the columns from the settings, so the widths are
    // read before the first is stored.
    for (DWORD column = 0; column < count && column < viewModel_.GetColumnCount(); ++column)
        viewColumns_.SetWidth(column, widths[column]);
}

void CModeledListCtrl::UpdateToolTip(LPARAM point) {
    const RECT none{};
    const DWORD columns = viewModel_.GetColumnCount();
    LVHITTESTINFO hit{};
    hit.pt = PointFromLParam(point);
    SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (columns == 0 || hit.iItem < 0 || hit.iSubItem < 0 || (hit.flags & LVHT_ONITEM) == 0 ||
        static_cast<DWORD>(hit.iItem) >= viewModel_.GetRowCount() || static_cast<DWORD>(hit.iSubItem) >= columns) {
        toolTip_.SetTool(0, none);
        return;
    }
    const auto row = static_cast<DWORD>(hit.iItem);
    const auto column = static_cast<DWORD>(hit.iSubItem);
    const std::wstring text = TranscodeU8ToU16(viewModel_.GetText(row, column));
    int needed = static_cast<int>(SendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str()))) + 16;
    if (column == 0) needed += viewModel_.GetLeadingWidth(row);
    const auto width = static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, column));
    if (needed < width && !viewModel_.HasToolTip(row, column)) {
        toolTip_.SetTool(0, none);
        return;
    }
    RECT cell{};
    cell.top = static_cast<LONG>(column);
    cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    SendMessage(LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    toolTip_.SetTool(static_cast<UINT_PTR>(columns) * row + column + 1, cell);
}

bool CModeledListCtrl::OnToolTipText(NMHDR& header) {
    if (header.hwndFrom != toolTip_.Hwnd()) return false;
    if (header.code != TTN_GETDISPINFOW && header.code != TTN_GETDISPINFOA) return false;
    const DWORD columns = viewModel_.GetColumnCount();
    std::wstring text;
    if (columns != 0 && header.idFrom != 0) {
        const auto row = static_cast<DWORD>((header.idFrom - 1) / columns);
        const auto column = static_cast<DWORD>((header.idFrom - 1) % columns);
        if (row < viewModel_.GetRowCount()) {
            const std::string cell = viewModel_.HasToolTip(row, column) ? viewModel_.GetToolTipText(row, column)
                                                                         : viewModel_.GetText(row, column);
            text = ToolTipDisplayText(TranscodeU8ToU16(cell));
        }
    }
    if (header.code == TTN_GETDISPINFOW) {
        wideToolTip_ = text;
        reinterpret_cast<NMTTDISPINFOW&>(header).lpszText = wideToolTip_.data();
    } else {
        narrowToolTip_ = Utf16ToAnsi(text);
        reinterpret_cast<NMTTDISPINFOA&>(header).lpszText = narrowToolTip_.data();
    }
    return true;
}

bool CModeledListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return CMyListCtrl::OnChildNotify(message, wParam, lParam, result);
    auto& header = *reinterpret_cast<NMHDR*>(lParam);
    result = 0;
    switch (header.code) {
    case LVN_GETDISPINFOW:
    case LVN_GETDISPINFOA:
        OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW&>(header), header.code == LVN_GETDISPINFOW);
        return true;
    case LVN_ITEMCHANGED:
        OnItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
        return true;
    case LVN_ODSTATECHANGED:
        OnStateChanged(reinterpret_cast<const NMLVODSTATECHANGE&>(header));
        return true;
    case LVN_SETDISPINFOW:
        OnSetDispInfo(reinterpret_cast<const NMLVDISPINFOW&>(header));
        return true;
    case LVN_ODFINDITEMW:
        result = OnFindItem(reinterpret_cast<const NMLVFINDITEMW&>(header));
        return true;
    case LVN_COLUMNCLICK:
        if (sortOnHeaderClick_)
            viewColumns_.SortBy(static_cast<DWORD>(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem));
        return true;
    case NM_DBLCLK:
        Emit(doubleClicked);
        return true;
    case NM_SETFOCUS:
        Emit(gotFocus);
        return true;
    case NM_KILLFOCUS:
        Emit(lostFocus);
        return true;
    default:
        return CMyListCtrl::OnChildNotify(message, wParam, lParam, result);
    }
}

bool CModeledListCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (OnToolTipText(*reinterpret_cast<NMHDR*>(lParam))) {
        result = 0;
        return true;
    }
    return CMyListCtrl::OnNotify(wParam, lParam, result);
}

LRESULT CModeledListCtrl::OnHeaderNotify(NMHDR& header) {
    if (header.code == static_cast<UINT>(NM_RCLICK) && sourceColumns_.CanHideColumns()) {
        ShowHeaderMenu();
        return TRUE;
    }
    const LRESULT result = CMyListCtrl::OnHeaderNotify(header);
    switch (header.code) {
    case HDN_ENDDRAG:
        PostMessage(kStoreColumnOrder);
        break;
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA:
        PostMessage(kStoreColumnWidths);
        break;
    default:
        break;
    }
    return result;
}

LRESULT CModeledListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ToolTipWindow::IsMouseMessage(message)) {
        if (message == WM_MOUSEMOVE) UpdateToolTip(lParam);
        toolTip_.Relay(message, wParam, lParam);
    }
    switch (message) {
    case kStoreColumnOrder:
        StoreColumnOrder();
        return 0;
    case kStoreColumnWidths:
        StoreColumnWidths();
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(lParam);
        return 0;
    case WM_DESTROY:
        toolTip_.Destroy();
        break;
    default:
        break;
    }
    return TrackableWnd<CMyListCtrl>::WindowProc(message, wParam, lParam);
}
