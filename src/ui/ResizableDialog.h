#pragma once
// A dialog that the user can resize: the sizing frame is added when the
// window is made, the size it was made with is the smallest it can be
// dragged to, a size grip sits in the bottom-right corner (hidden while
// maximised), and anchored controls follow the client size. Derived dialogs
// anchor their controls in OnInitDialog after calling this one's.

#include "ui/ResizableGrip.h"
#include "ui/ResizableLayout.h"
#include "ui/ResizableMinMax.h"
#include "ui/ResizableState.h"
#include "ui/UIFontDialog.h"

class CResizableDialog : public CUIFontDialog,
                         public CResizableLayout,
                         public CResizableGrip,
                         public CResizableMinMax,
                         public CResizableWndState {
public:
    using CUIFontDialog::CUIFontDialog;

    // Saves the window placement when the dialog is destroyed, under
    // HKEY_CURRENT_USER\profileKey\ResizableState, entry
    // "<name>WindowPlacement". Off unless called.
    void EnableSaveRestore(std::wstring profileKey, std::wstring name, bool rectOnly = false);

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HWND GetResizableWnd() const override { return GetSafeHwnd(); }

private:
    LRESULT OnNcCreate(CREATESTRUCTW& creation);
    void MakeResizable(CREATESTRUCTW& creation);
    void OnSize(WPARAM type);

    DWORD gripState_ = kShownForRestoredWindow;
    bool enableSaveRestore_ = false;
    bool rectOnly_ = false;
    std::wstring profileKey_;
    std::wstring placementName_;
};
