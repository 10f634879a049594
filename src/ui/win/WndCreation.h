#pragma once
// Binds a window object to the next window the thread creates, before that
// window's first message: a CBT hook catches HCBT_CREATEWND, subclasses the
// new window and removes itself. Used for windows whose creation messages
// (WM_NCCREATE, WM_CREATE) the object handles, and for modal dialogs, whose
// creation call returns only when the dialog has ended.

#include "ui/win/Wnd.h"

class WindowCreationBinding {
public:
    explicit WindowCreationBinding(CWnd& window);
    // Removes the hook if no window was created; the thread's outer binding,
    // if any, becomes current again.
    ~WindowCreationBinding();
    WindowCreationBinding(const WindowCreationBinding&) = delete;
    WindowCreationBinding& operator=(const WindowCreationBinding&) = delete;

    bool Bound() const noexcept { return bound_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    CWnd& window_;
    HHOOK hook_ = nullptr;
    bool bound_ = false;
    WindowCreationBinding* outer_ = nullptr;
};
