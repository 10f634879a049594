#pragma once
// A modal dialog made from a dialog template. The dialog window is bound to
// the object before its first message, so a derived class sees WM_NCCREATE
// and WM_CREATE too. The template is a copy in memory that a derived class
// may rewrite before the window is made (see GetTemplate).

#include "ui/win/Wnd.h"

#include <vector>

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr) : templateId_(templateId), parent_(parent) {}
    // A dialog made from a template in memory instead of a resource.
    explicit CDialog(std::vector<BYTE> dialogTemplate, HWND parent = nullptr)
        : templateId_(0), parent_(parent), template_(std::move(dialogTemplate)) {}

    // Runs the dialog until EndDialog and returns the value given to it;
    // -1 when the dialog could not be made.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) noexcept;

    UINT TemplateId() const noexcept { return templateId_; }

    // Binds a control of this dialog to its object once (what the data
    // exchange does for control members); later calls leave it bound.
    void DDX_Control(int id, CWnd& control);

protected:
    // The template the window is made from: the one given in memory, else a
    // copy of the RT_DIALOG resource of the executable. Throws Windows::Error
    // when the resource is missing.
    virtual std::vector<BYTE> GetTemplate();

    // WM_INITDIALOG: binds the controls (DoDataExchange). The result tells
    // Windows whether to set the focus to the first control.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange() {}
    // IDOK and IDCANCEL commands (Enter, Esc, the Close box).
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProcedure(HWND, UINT, WPARAM, LPARAM);

    UINT templateId_;
    HWND parent_;
    std::vector<BYTE> template_;
};

// The RT_DIALOG resource of the module as bytes.
std::vector<BYTE> LoadDialogTemplate(HMODULE module, UINT templateId);
