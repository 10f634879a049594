#include "ui/ResizableGrip.h"

void CResizableGrip::CreateSizeGrip(bool visible, bool triangular) {
    grip_.Create(GetResizableWnd(), visible);
    grip_.SetTriangularShape(triangular);
}

void CResizableGrip::ShowSizeGrip(DWORD& state, DWORD mask) noexcept {
    if ((state & mask) != 0) return;
    state |= mask;
    grip_.ChangeShowCount(1);
}

void CResizableGrip::HideSizeGrip(DWORD& state, DWORD mask) noexcept {
    if ((state & mask) == 0) return;
    state &= ~mask;
    grip_.ChangeShowCount(-1);
}

void CResizableGrip::UpdateSizeGrip() {
    if (grip_.GetSafeHwnd() != nullptr) grip_.UpdatePosition();
}
