#include "ui/ORVRemoveDlg.h"

#include "ui/resource.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            EndDialog(window, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

int CORVRemoveDlg::DoModal() {
    return static_cast<int>(
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ORVREMOVE_DIALOG), nullptr, DialogProc, 0));
}
