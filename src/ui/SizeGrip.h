#pragma once
// The size grip in the bottom-right corner of a resizable dialog: a
// scroll-bar control with SBS_SIZEGRIP. Dragging it resizes the parent.
// It is shown while its show counter is above 0, may be cut to a triangle,
// and never takes the focus.

#include "ui/win/Wnd.h"

class CSizeGrip : public CWnd {
public:
    // Creates the grip in the parent's bottom-right corner; hidden unless
    // visible. Throws Windows::Error on failure.
    void Create(HWND parent, bool visible);

    // Cuts the grip to the triangle below its diagonal (or back to its
    // rectangle).
    void SetTriangularShape(bool triangular);
    bool IsTriangular() const noexcept { return triangular_; }

    // The show counter: the grip is shown while it is above 0.
    void ChangeShowCount(int delta) noexcept { showCount_ += delta; }
    int ShowCount() const noexcept { return showCount_; }

    // Moves the grip to the parent's bottom-right corner and to the bottom
    // of the z-order, shown or hidden by the counter.
    void UpdatePosition();

    // The grip's size: the system's vertical scroll-bar width and
    // horizontal scroll-bar height.
    static SIZE GripSize() noexcept;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    UINT SizingHitCode() const noexcept;
    void OnSettingChange();

    SIZE size_{};
    int showCount_ = 0;
    bool triangular_ = false;
};
