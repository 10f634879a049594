#include "ui/MyEdit.h"


void CMyEdit::Stopwatch::Restart() noexcept {
    ::QueryPerformanceCounter(&start_);
    running_ = true;
}

long long CMyEdit::Stopwatch::Stop() noexcept {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    running_ = false;
    if (frequency.QuadPart == 0) return 0;
    return (now.QuadPart - start_.QuadPart) * 1000000 / frequency.QuadPart;
}

void CMyEdit::SelectAll() {
    SendMessage(EM_SETSEL, 0, -1);
    SendMessage(EM_SCROLLCARET);
}

LRESULT CMyEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0) {
            SelectAll();
            return 0;
        }
        break;
    case WM_LBUTTONDBLCLK:
        sinceDoubleClick_.Restart();
        doubleClickPoint_ = PointFromLParam(lParam);
        break;
    case WM_LBUTTONDOWN:
        if (sinceDoubleClick_.Running()) {
            const long long elapsed = sinceDoubleClick_.Stop();
            const long long limit = static_cast<long long>(::GetDoubleClickTime()) * 1000 / 2;
            const POINT point = PointFromLParam(lParam);
            const bool samePoint = point.x == doubleClickPoint_.x && point.y == doubleClickPoint_.y;
            if (elapsed <= limit && samePoint) {
                SelectAll();
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
