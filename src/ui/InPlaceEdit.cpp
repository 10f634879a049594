#include "ui/InPlaceEdit.h"

#include "ui/MyListCtrl.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

CInPlaceEdit* CInPlaceEdit::Open(CWnd& list, int row, int column, const std::wstring& text, const RECT& rect,
                                 DWORD alignment) {
    std::unique_ptr<CInPlaceEdit> edit(new CInPlaceEdit(row, column, text));
    try {
        edit->CreateEx(0, L"EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | alignment, rect,
                       list.GetSafeHwnd(), CMyListCtrl::kInPlaceEditId);
    } catch (...) {
        return nullptr;
    }
    // From here on the window owns the object.
    CInPlaceEdit* opened = edit.release();
    opened->SendMessage(WM_SETFONT, list.SendMessage(WM_GETFONT), FALSE);
    ::SetFocus(opened->GetSafeHwnd());
    opened->SendMessage(EM_SETSEL, 0, -1);
    return opened;
}

void CInPlaceEdit::WidenToText() {
    wchar_t buffer[1024] = {};
    const int length = ::GetWindowTextW(GetSafeHwnd(), buffer, 1024);
    HDC dc = ::GetDC(GetSafeHwnd());
    if (dc == nullptr) return;
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, buffer, length, &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(GetSafeHwnd(), dc);

    const RECT rect = GetRectInParent();
    RECT parentClient{};
    ::GetClientRect(GetParent(), &parentClient);
    const LONG wanted = std::min<LONG>(rect.left + extent.cx + 5, parentClient.right);
    if (wanted > rect.right)
        ::SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, wanted - rect.left, rect.bottom - rect.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CInPlaceEdit::ReportEnd() {
    if (ended_) return;
    ended_ = true;
    HWND list = GetParent();
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(GetSafeHwnd())) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(GetSafeHwnd(), text.data(), static_cast<int>(text.size()))));

    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = list;
    info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    info.hdr.code = LVN_ENDLABELEDITW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = row_;
    info.item.iSubItem = column_;
    info.item.pszText = cancelled_ ? nullptr : text.data();
    info.item.cchTextMax = cancelled_ ? 0 : static_cast<int>(text.size());
    ::SendMessageW(::GetParent(list), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
}

LRESULT CInPlaceEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        // Enter, Escape and every other key come here, not to the dialog.
        return Default() | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
            if (wParam == VK_ESCAPE) cancelled_ = true;
            ::SetFocus(GetParent());
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN) return 0;  // no beep
        {
            const LRESULT result = Default();
            WidenToText();
            return result;
        }
    case WM_KILLFOCUS: {
        const LRESULT result = Default();
        ReportEnd();
        // The object goes with its window: nothing of it is used after this.
        DestroyWindow();
        return result;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
