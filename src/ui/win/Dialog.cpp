#include "ui/win/Dialog.h"

#include "platform/Errors.h"
#include "ui/win/WndCreation.h"

#include <commctrl.h>

#include <algorithm>

std::vector<BYTE> LoadDialogTemplate(HMODULE module, UINT templateId) {
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (resource == nullptr) ThrowLastError();
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0) ThrowLastError();
    const auto* bytes = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(bytes, bytes + size);
}

std::vector<BYTE> CDialog::GetTemplate() {
    if (!template_.empty()) return template_;
    return LoadDialogTemplate(::GetModuleHandleW(nullptr), templateId_);
}

INT_PTR CDialog::DoModal() {
    // Dialog templates may name the common controls' window classes.
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&classes);

    std::vector<BYTE> dialogTemplate = GetTemplate();
    // DWORD alignment of a template in memory.
    std::vector<DWORD> aligned((dialogTemplate.size() + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::copy(dialogTemplate.begin(), dialogTemplate.end(), reinterpret_cast<BYTE*>(aligned.data()));

    WindowCreationBinding binding(*this);
    return ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()),
                                     parent_, DialogProcedure, 0);
}

INT_PTR CALLBACK CDialog::DialogProcedure(HWND, UINT, WPARAM, LPARAM) {
    // Every message reaches the object through its window procedure first;
    // what it passes on gets the dialog manager's default handling.
    return FALSE;
}

void CDialog::EndDialog(INT_PTR result) noexcept {
    ::EndDialog(GetSafeHwnd(), result);
}

void CDialog::DDX_Control(int id, CWnd& control) {
    if (control.GetSafeHwnd() == nullptr) control.SubclassDlgItem(id, GetSafeHwnd());
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

bool CDialog::OnCommand(WPARAM wParam, LPARAM) {
    // Buttons, Enter, Esc and the Close box all send code 0 (BN_CLICKED).
    if (HIWORD(wParam) != BN_CLICKED) return false;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}
