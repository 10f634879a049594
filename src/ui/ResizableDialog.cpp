#include "ui/ResizableDialog.h"

void CResizableDialog::EnableSaveRestore(std::wstring profileKey, std::wstring name, bool rectOnly) {
    profileKey_ = std::move(profileKey);
    placementName_ = std::move(name);
    rectOnly_ = rectOnly;
    enableSaveRestore_ = true;
}

LRESULT CResizableDialog::OnNcCreate(CREATESTRUCTW& creation) {
    if (!Default()) return FALSE;
    const bool child = (creation.style & WS_CHILD) != 0;
    CreateSizeGrip(!child, true);
    if (!child) SetMinTrackSize(SIZE{creation.cx, creation.cy});
    if (!child && (creation.style & WS_THICKFRAME) == 0) MakeResizable(creation);
    return TRUE;
}

void CResizableDialog::MakeResizable(CREATESTRUCTW& creation) {
    // Keep the designed client size: take the client rectangle of the
    // window as made, then grow it back by the sizing frame.
    RECT rect{creation.x, creation.y, creation.x + creation.cx, creation.y + creation.cy};
    SendMessage(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rect));
    const DWORD style = (GetStyle() & ~static_cast<DWORD>(DS_MODALFRAME)) | WS_THICKFRAME;
    ::SetWindowLongPtrW(GetSafeHwnd(), GWL_STYLE, static_cast<LONG_PTR>(style));
    ::AdjustWindowRectEx(&rect, style, ::GetMenu(GetSafeHwnd()) != nullptr, GetExStyle());
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    ::SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    creation.cx = width;
    creation.cy = height;
}

BOOL CResizableDialog::OnInitDialog() {
    const BOOL result = CUIFontDialog::OnInitDialog();
    ExcludeFromAnchoring(GetSizeGripHwnd());
    return result;
}

void CResizableDialog::OnSize(WPARAM type) {
    switch (type) {
    case SIZE_MAXIMIZED:
        HideSizeGrip(gripState_);
        break;
    case SIZE_MAXSHOW:
    case SIZE_MAXHIDE:
        return;
    default:
        ShowSizeGrip(gripState_);
        break;
    }
    UpdateSizeGrip();
    LayoutChildren();
}

LRESULT CResizableDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return OnNcCreate(*reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_SIZE: {
        const LRESULT result = Default();
        OnSize(wParam);
        return result;
    }
    case WM_GETMINMAXINFO:
        Default();
        MinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_ERASEBKGND:
        return EraseClipped(reinterpret_cast<HDC>(wParam), [this] { return Default(); });
    case WM_DESTROY:
        if (enableSaveRestore_) SaveWindowRect(GetSafeHwnd(), profileKey_, placementName_, rectOnly_);
        RemoveAllAnchors();
        return Default();
    default:
        return CUIFontDialog::WindowProc(message, wParam, lParam);
    }
}
