#include "ui/SizeGrip.h"

#include "platform/Errors.h"
#include "ui/win/GdiHandles.h"

SIZE CSizeGrip::GripSize() noexcept {
    return SIZE{::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL)};
}

void CSizeGrip::Create(HWND parent, bool visible) {
    size_ = GripSize();
    showCount_ = visible ? 1 : 0;
    RECT client{};
    ::GetClientRect(parent, &client);
    const RECT rect{client.right - size_.cx, client.bottom - size_.cy, client.right, client.bottom};
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | SBS_SIZEGRIP;
    if (visible) style |= WS_VISIBLE;
    CreateEx(0, L"ScrollBar", L"", style, rect, parent, 0);
}

void CSizeGrip::SetTriangularShape(bool triangular) {
    triangular_ = triangular;
    if (!triangular) {
        ::SetWindowRgn(GetSafeHwnd(), nullptr, TRUE);
        return;
    }
    // Bottom-left, bottom-right, top-right: the part a grip's dots occupy.
    POINT corners[3] = {{0, size_.cy}, {size_.cx, size_.cy}, {size_.cx, 0}};
    WindowsPlatform::UniqueRegion region(::CreatePolygonRgn(corners, 3, WINDING));
    // The window owns the region once it has taken it.
    if (region && ::SetWindowRgn(GetSafeHwnd(), region.Get(), TRUE)) region.Release();
}

void CSizeGrip::UpdatePosition() {
    RECT client{};
    ::GetClientRect(GetParent(), &client);
    UINT flags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    flags |= showCount_ > 0 ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    ::SetWindowPos(GetSafeHwnd(), HWND_BOTTOM, client.right - size_.cx, client.bottom - size_.cy, 0, 0, flags);
}

UINT CSizeGrip::SizingHitCode() const noexcept {
    const bool mirrored = (::GetWindowLongW(GetParent(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    return mirrored ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
}

void CSizeGrip::OnSettingChange() {
    // Keep the bottom-right corner where it is while the metrics change.
    const RECT old = GetRectInParent();
    size_ = GripSize();
    ::SetWindowPos(GetSafeHwnd(), nullptr, old.right - size_.cx, old.bottom - size_.cy, size_.cx, size_.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    SetTriangularShape(triangular_);
}

LRESULT CSizeGrip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        // The sizing cursor, and a press that resizes the parent.
        return SizingHitCode();
    case WM_NCLBUTTONDOWN:
        if (wParam == HTBOTTOMRIGHT || wParam == HTBOTTOMLEFT) {
            // Size the parent, not the grip itself.
            const WPARAM edge = wParam == HTBOTTOMLEFT ? WMSZ_BOTTOMLEFT : WMSZ_BOTTOMRIGHT;
            ::SendMessageW(GetParent(), WM_SYSCOMMAND, SC_SIZE + edge, lParam);
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETFOCUS:
        return 0;
    case WM_SETTINGCHANGE: {
        const LRESULT result = Default();
        OnSettingChange();
        return result;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
