#pragma once
// The size grip part of a resizable window: creates the grip and shows or
// hides it as the window is restored or maximised.

#include "ui/SizeGrip.h"

class CResizableGrip {
public:
    using CSizeGrip = ::CSizeGrip;

    // A bit of a grip state word: set while the grip is wanted for that
    // reason; each set bit counts once in the grip's show counter.
    static constexpr DWORD kShownForRestoredWindow = 1;

    CResizableGrip() = default;
    CResizableGrip(const CResizableGrip&) = delete;
    CResizableGrip& operator=(const CResizableGrip&) = delete;
    virtual ~CResizableGrip() = default;

    HWND GetSizeGripHwnd() const noexcept { return grip_.GetSafeHwnd(); }
    bool IsSizeGripVisible() const noexcept { return grip_.ShowCount() > 0; }

protected:
    // Creates the grip in the resizable window.
    void CreateSizeGrip(bool visible, bool triangular);
    // Set or clear bits of state, counting the grip up or down for each
    // bit that changes.
    void ShowSizeGrip(DWORD& state, DWORD mask = kShownForRestoredWindow) noexcept;
    void HideSizeGrip(DWORD& state, DWORD mask = kShownForRestoredWindow) noexcept;
    // Moves the grip to the corner, shown or hidden by its counter.
    void UpdateSizeGrip();

    virtual HWND GetResizableWnd() const = 0;

private:
    CSizeGrip grip_;
};
