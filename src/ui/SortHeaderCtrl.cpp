#include "ui/SortHeaderCtrl.h"

#include "platform/FaultInjection.h"
#include "platform/Text.h"
#include "ui/win/GdiHandles.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

int CSortHeaderCtrl::GetItemCount() const {
    return static_cast<int>(SendMessage(HDM_GETITEMCOUNT));
}

std::vector<int> CSortHeaderCtrl::GetOrderArray() const {
    std::vector<int> order(static_cast<size_t>(std::max(GetItemCount(), 0)));
    if (!order.empty())
        SendMessage(HDM_GETORDERARRAY, static_cast<WPARAM>(order.size()), reinterpret_cast<LPARAM>(order.data()));
    return order;
}

void CSortHeaderCtrl::OnSubclassed() {
    toolTip_.Create(GetSafeHwnd());
    toolTip_.SetMaxWidth(600);
}

void CSortHeaderCtrl::SetSortArrow(int column, bool ascending) {
    previousSortColumn_ = sortColumn_;
    sortColumn_ = column;
    ascending_ = ascending;
    ApplySortArrow();
}

void CSortHeaderCtrl::SetFormatFlags(int column, int add, int remove) {
    if (column < 0 || column >= GetItemCount()) return;
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!SendMessage(HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) return;
    item.fmt = (item.fmt & ~remove) | add;
    SendMessage(HDM_SETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
}

void CSortHeaderCtrl::ApplySortArrow() {
    if (GetSafeHwnd() == nullptr) return;
    // Tests make the header draw as Windows without visual styles would:
    // Wine always has them.
    const bool themed = WindowsPlatform::InjectedFault("IsAppThemed") == 0 && ::IsAppThemed();
    if (themed) {
        const int arrow = ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
        SetFormatFlags(sortColumn_, arrow, HDF_SORTUP | HDF_SORTDOWN | HDF_OWNERDRAW);
        if (previousSortColumn_ != sortColumn_) SetFormatFlags(previousSortColumn_, 0, HDF_SORTUP | HDF_SORTDOWN);
    } else {
        // Drawn here; an earlier sort column stays owner-drawn without an
        // arrow.
        SetFormatFlags(sortColumn_, HDF_OWNERDRAW, HDF_SORTUP | HDF_SORTDOWN);
    }
    ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

void CSortHeaderCtrl::DrawSortTriangle(HDC dc, const RECT& cell, int right) const {
    // A small triangle left of the right margin, vertically centred: its
    // lit edges in the highlight colour, its shaded edge in the shadow.
    const int size = std::max(4, static_cast<int>((cell.bottom - cell.top) / 4));
    const int left = right - size * 2;
    const int middle = (cell.top + cell.bottom) / 2;
    const int top = middle - size / 2;
    const int bottom = top + size;
    WindowsPlatform::UniqueHandle<WindowsPlatform::GdiObjectTraits<HPEN>> light(
        ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
    WindowsPlatform::UniqueHandle<WindowsPlatform::GdiObjectTraits<HPEN>> shadow(
        ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    const HGDIOBJ old = ::SelectObject(dc, light.Get());
    if (ascending_) {
        // Point up.
        ::MoveToEx(dc, left + size, top, nullptr);
        ::LineTo(dc, left + size * 2, bottom);
        ::LineTo(dc, left, bottom);
        ::SelectObject(dc, shadow.Get());
        ::LineTo(dc, left + size, top);
    } else {
        // Point down.
        ::SelectObject(dc, shadow.Get());
        ::MoveToEx(dc, left + size * 2, top, nullptr);
        ::LineTo(dc, left, top);
        ::LineTo(dc, left + size, bottom);
        ::SelectObject(dc, light.Get());
        ::LineTo(dc, left + size * 2, top);
    }
    ::SelectObject(dc, old);
}

void CSortHeaderCtrl::DrawItem(const DRAWITEMSTRUCT& draw) const {
    HDC dc = draw.hDC;
    const int column = static_cast<int>(draw.itemID);
    RECT cell = draw.rcItem;
    ::FillRect(dc, &cell, ::GetSysColorBrush(COLOR_BTNFACE));

    wchar_t text[260] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = 260;
    SendMessage(HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));

    SIZE space{};
    ::GetTextExtentPoint32W(dc, L" ", 1, &space);
    const bool sorted = column == sortColumn_;
    RECT textRect = cell;
    textRect.left += space.cx * 2;
    textRect.right -= space.cx * (sorted ? 4 : 2);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    switch (item.fmt & HDF_JUSTIFYMASK) {
    case HDF_CENTER:
        format |= DT_CENTER;
        break;
    case HDF_RIGHT:
        format |= DT_RIGHT;
        break;
    default:
        format |= DT_LEFT;
        break;
    }
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, text, -1, &textRect, format);
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
    if (sorted) DrawSortTriangle(dc, cell, cell.right - space.cx);
}

bool CSortHeaderCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM) return false;
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (draw.CtlType != ODT_HEADER) return false;
    DrawItem(draw);
    result = TRUE;
    return true;
}

void CSortHeaderCtrl::UpdateToolTip(LPARAM point) {
    if (model_ == nullptr) return;
    HDHITTESTINFO hit{};
    hit.pt = PointFromLParam(point);
    const int column = static_cast<int>(SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    RECT rect{};
    if (column < 0 || model_->GetColumnToolTip(static_cast<DWORD>(column)).empty() ||
        !SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&rect))) {
        toolTip_.SetTool(0, rect);
        return;
    }
    toolTip_.SetTool(static_cast<UINT_PTR>(column) + 1, rect);
}

bool CSortHeaderCtrl::OnToolTipText(NMHDR& header) {
    if (header.hwndFrom != toolTip_.Hwnd() || model_ == nullptr) return false;
    if (header.code != TTN_GETDISPINFOW && header.code != TTN_GETDISPINFOA) return false;
    const auto column = static_cast<DWORD>(header.idFrom - 1);
    const std::string text = model_->GetColumnToolTip(column);
    if (header.code == TTN_GETDISPINFOW) {
        wideToolTip_ = TranscodeU8ToU16(text);
        reinterpret_cast<NMTTDISPINFOW&>(header).lpszText = wideToolTip_.data();
    } else {
        narrowToolTip_ = Utf8ToAnsi(text);
        reinterpret_cast<NMTTDISPINFOA&>(header).lpszText = narrowToolTip_.data();
    }
    return true;
}

void CSortHeaderCtrl::OnTab() {
    HWND list = GetParent();
    HWND dialog = ::GetParent(list);
    if ((::GetKeyState(VK_SHIFT) & 0x8000) != 0) {
        ::SetFocus(list);
        return;
    }
    if (dialog == nullptr) return;
    HWND next = ::GetNextDlgTabItem(dialog, list, FALSE);
    if (next != nullptr) ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
}

LRESULT CSortHeaderCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ToolTipWindow::IsMouseMessage(message)) {
        if (message == WM_MOUSEMOVE) UpdateToolTip(lParam);
        toolTip_.Relay(message, wParam, lParam);
    }
    switch (message) {
    case WM_GETDLGCODE:
        return Default() | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        if (wParam == VK_TAB) {
            OnTab();
            return 0;
        }
        break;
    case WM_THEMECHANGED: {
        const LRESULT result = Default();
        ApplySortArrow();
        return result;
    }
    case WM_NOTIFY:
        if (OnToolTipText(*reinterpret_cast<NMHDR*>(lParam))) return 0;
        break;
    case WM_DESTROY:
        toolTip_.Destroy();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
