#include "ui/MyListCtrl.h"

#include "platform/Errors.h"
#include "platform/WindowsVersion.h"
#include "ui/InPlaceEdit.h"

#include <uxtheme.h>

#include <algorithm>
#include <cstring>

std::wstring CopyText(const std::vector<std::vector<std::wstring>>& rows) {
    std::wstring text;
    for (const auto& row : rows) {
        for (const std::wstring& cell : row) {
            for (wchar_t c : cell) {
                if (c == L'\t')
                    text += L"    ";
                else
                    text += c;
            }
            text += L'\t';
        }
        text += L"\r\n";
    }
    return text;
}

RECT EmptyTextRect(const RECT& client, int textHeight) {
    RECT rect{client.left + 15, client.top + 5, client.right - 5, client.bottom - 5};
    const int space = rect.bottom - rect.top;
    if (textHeight < space) {
        rect.top += (space - textHeight) / 2;
        rect.bottom = rect.top + textHeight;
    }
    return rect;
}

void CMyListCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    CreateEx(0, WC_LISTVIEWW, L"", CreateStyle(style), rect, parent, id);
}

void CMyListCtrl::OnSubclassed() {
    ModifyStyle(0, WS_CLIPCHILDREN);
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    if (IsWindowsVersionAtLeast(6, 0)) ::SetWindowTheme(GetSafeHwnd(), L"Explorer", nullptr);
    if (auto header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); header != nullptr && !header_.GetSafeHwnd())
        header_.SubclassWindow(header);
    ACCEL keys[2] = {{FVIRTKEY | FCONTROL, 'A', kSelectAllCommand}, {FVIRTKEY | FCONTROL, 'C', kCopyCommand}};
    accelerators_.Reset(::CreateAcceleratorTableW(keys, 2));
    if (!accelerators_) ThrowLastError();
}

int CMyListCtrl::GetItemCount() const {
    return static_cast<int>(SendMessage(LVM_GETITEMCOUNT));
}

int CMyListCtrl::GetSelectedCount() const {
    return static_cast<int>(SendMessage(LVM_GETSELECTEDCOUNT));
}

std::wstring CMyListCtrl::GetItemText(int item, int subItem) const {
    std::wstring text(256, L'\0');
    for (;;) {
        LVITEMW request{};
        request.iSubItem = subItem;
        request.pszText = text.data();
        request.cchTextMax = static_cast<int>(text.size());
        const auto length = static_cast<size_t>(
            SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request)));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

std::vector<int> CMyListCtrl::GetColumnOrder() const {
    if (header_.GetSafeHwnd() == nullptr) return {};
    return header_.GetOrderArray();
}

void CMyListCtrl::SelectAllItems() {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void CMyListCtrl::CopySelectedItems() {
    const std::vector<int> columns = GetColumnOrder();
    std::vector<std::vector<std::wstring>> rows;
    for (int item = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); item >= 0;
         item = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED))) {
        std::vector<std::wstring> cells;
        for (int column : columns) cells.push_back(GetItemText(item, column));
        rows.push_back(std::move(cells));
    }
    const std::wstring text = CopyText(rows);

    // Opened for this window: with no owner, Windows may refuse the data.
    if (!::OpenClipboard(GetSafeHwnd())) ThrowLastError();
    struct Close {
        ~Close() { ::CloseClipboard(); }
    } close;
    ::EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) ThrowLastError();
    if (void* data = ::GlobalLock(memory); data != nullptr) {
        std::memcpy(data, text.c_str(), bytes);
        ::GlobalUnlock(memory);
    }
    // The clipboard owns the memory once it has taken it.
    if (::SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
        const DWORD error = ::GetLastError();
        ::GlobalFree(memory);
        throw Windows::Error(error);
    }
}

void CMyListCtrl::SetItemColors(LPARAM itemData, COLORREF text, COLORREF background) {
    itemColors_[itemData] = {text, background};
}

void CMyListCtrl::RemoveItem(int index) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) itemColors_.erase(item.lParam);
    SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index));
}

void CMyListCtrl::RemoveAllItems() {
    SendMessage(LVM_DELETEALLITEMS);
    itemColors_.clear();
}

void CMyListCtrl::RemoveSelectedItems() {
    // From the last selected item backwards, so the indexes stay valid.
    std::vector<int> selected;
    for (int item = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); item >= 0;
         item = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED)))
        selected.push_back(item);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) RemoveItem(*it);
}

void CMyListCtrl::GetCellColors(NMLVCUSTOMDRAW& draw) const {
    const auto found = itemColors_.find(draw.nmcd.lItemlParam);
    if (found == itemColors_.end()) return;
    draw.clrText = found->second.text;
    draw.clrTextBk = found->second.background;
}

int CMyListCtrl::GetFontWeight(DWORD, DWORD) const {
    return FW_NORMAL;
}

LRESULT CMyListCtrl::OnSubItemPrePaint(NMLVCUSTOMDRAW& draw) {
    HDC dc = draw.nmcd.hdc;
    LRESULT result = CDRF_DODEFAULT;
    const int weight = GetFontWeight(static_cast<DWORD>(draw.nmcd.dwItemSpec), static_cast<DWORD>(draw.iSubItem));
    if (weight != FW_NORMAL) {
        if (!cellFont_) {
            LOGFONTW font{};
            if (::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font) != 0) {
                font.lfWeight = weight;
                cellFont_.Reset(::CreateFontIndirectW(&font));
            }
        }
        if (cellFont_) {
            ::SelectObject(dc, cellFont_.Get());
            cellFontSelected_ = true;
            result |= CDRF_NEWFONT;
        }
    } else if (cellFontSelected_) {
        // Back to the list's own font for the cells that follow.
        auto font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
        ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        cellFontSelected_ = false;
        result |= CDRF_NEWFONT;
    }
    if (!::IsWindowEnabled(GetSafeHwnd())) {
        draw.clrText = ::GetSysColor(COLOR_GRAYTEXT);
        return result;
    }
    GetCellColors(draw);
    return result | CDRF_NOTIFYPOSTPAINT;
}

LRESULT CMyListCtrl::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        return OnSubItemPrePaint(draw);
    case CDDS_POSTPAINT:
        if (GetItemCount() == 0 && !GetEmptyText().empty()) DrawEmptyText(draw.nmcd.hdc);
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void CMyListCtrl::DrawEmptyText(HDC dc) const {
    const std::wstring text = GetEmptyText();
    RECT client = GetClientRect();
    RECT measured = EmptyTextRect(client, client.bottom - client.top);
    ::DrawTextW(dc, text.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    RECT rect = EmptyTextRect(client, measured.bottom - measured.top);
    const int mode = ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text.c_str(), -1, &rect, DT_WORDBREAK | DT_NOPREFIX);
    ::SetBkMode(dc, mode);
    if (::GetFocus() == GetSafeHwnd()) {
        ::InflateRect(&rect, 1, 1);
        ::DrawFocusRect(dc, &rect);
    }
}

bool CMyListCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return false;
    auto& header = *reinterpret_cast<NMHDR*>(lParam);
    if (header.code != static_cast<UINT>(NM_CUSTOMDRAW)) return false;
    result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    return true;
}

LRESULT CMyListCtrl::OnHeaderNotify(NMHDR& header) {
    switch (header.code) {
    case HDN_BEGINDRAG:
        headerDragging_ = true;
        break;
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
        headerTracking_ = true;
        break;
    case HDN_ENDDRAG:
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA: {
        const LRESULT result = Default();
        if (header.code == HDN_ENDDRAG)
            headerDragging_ = false;
        else
            headerTracking_ = false;
        ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
        return result;
    }
    default:
        break;
    }
    return Default();
}

LRESULT CMyListCtrl::OnScroll(UINT message, WPARAM wParam) {
    bool& tracking = message == WM_HSCROLL ? hThumbTracking_ : vThumbTracking_;
    switch (LOWORD(wParam)) {
    case SB_THUMBTRACK:
        tracking = true;
        break;
    case SB_THUMBPOSITION:
    case SB_ENDSCROLL:
        tracking = false;
        break;
    default:
        break;
    }
    if (::GetFocus() != GetSafeHwnd()) ::SetFocus(GetSafeHwnd());
    const LRESULT result = Default();
    // The empty text does not scroll with the list: draw it anew.
    if (message == WM_HSCROLL && GetItemCount() == 0) ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
    return result;
}

bool CMyListCtrl::OnTab() {
    HWND parent = GetParent();
    wchar_t className[16] = {};
    ::GetClassNameW(parent, className, 16);
    if (std::wstring(className) != L"#32770") return false;
    if ((::GetKeyState(VK_SHIFT) & 0x8000) != 0)
        ::SendMessageW(parent, WM_NEXTDLGCTL, 1, 0);
    else if (header_.GetSafeHwnd() != nullptr)
        ::SetFocus(header_.GetSafeHwnd());
    return true;
}

bool CMyListCtrl::TryEditCellAt(LPARAM point) {
    if (editableColumns_.empty()) return false;
    LVHITTESTINFO hit{};
    hit.pt = PointFromLParam(point);
    SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem < 0 || hit.iSubItem <= 0 || editableColumns_.count(hit.iSubItem) == 0) return false;
    if ((SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(hit.iItem), LVIS_FOCUSED) & LVIS_FOCUSED) == 0) return false;
    return EditSubItem(hit.iItem, hit.iSubItem) != nullptr;
}

CInPlaceEdit* CMyListCtrl::EditSubItem(int item, int column) {
    SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
    if (column < 0 || column >= header_.GetItemCount()) return nullptr;
    const int width = static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
    if (width <= 4) return nullptr;

    RECT itemRect{};
    itemRect.left = LVIR_BOUNDS;
    if (!SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&itemRect))) return nullptr;
    // The cell starts after the columns shown left of it.
    int left = itemRect.left;
    for (int shown : GetColumnOrder()) {
        if (shown == column) break;
        left += static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(shown)));
    }
    const RECT client = GetClientRect();
    if (left < client.left || left > client.right) {
        SendMessage(LVM_SCROLL, static_cast<WPARAM>(left - client.left), 0);
        left = client.left;
    }

    LVCOLUMNW format{};
    format.mask = LVCF_FMT;
    SendMessage(LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&format));
    DWORD alignment = ES_LEFT;
    if ((format.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) alignment = ES_RIGHT;
    if ((format.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) alignment = ES_CENTER;

    const RECT editRect{left + 4, itemRect.top, std::min<LONG>(left + width + 1, client.right), itemRect.bottom};
    return CInPlaceEdit::Open(*this, item, column, GetItemText(item, column), editRect, alignment);
}

LRESULT CMyListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && accelerators_) {
        MSG key{GetSafeHwnd(), message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
        if (::TranslateAcceleratorW(GetSafeHwnd(), accelerators_.Get(), &key)) return 0;
    }
    switch (message) {
    case WM_COMMAND:
        if (lParam == 0 && LOWORD(wParam) == kSelectAllCommand) {
            if (GetItemCount() > 0) SelectAllItems();
            return 0;
        }
        if (lParam == 0 && LOWORD(wParam) == kCopyCommand) {
            if (GetSelectedCount() > 0) CopySelectedItems();
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        return Default() | DLGC_WANTTAB;
    case WM_KEYDOWN:
        if (wParam == VK_TAB && OnTab()) return 0;
        break;
    case WM_TIMER:
        if (wParam == 42) return 0;
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        return OnScroll(message, wParam);
    case WM_MOUSEWHEEL: {
        const LRESULT result = Default();
        if (GetItemCount() == 0) ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = Default();
        ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return result;
    }
    case WM_LBUTTONDOWN:
        if (TryEditCellAt(lParam)) return 0;
        break;
    case WM_NOTIFY: {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header_.GetSafeHwnd() != nullptr && header.hwndFrom == header_.GetSafeHwnd()) return OnHeaderNotify(header);
        break;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
