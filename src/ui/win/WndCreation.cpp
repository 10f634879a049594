#include "ui/win/WndCreation.h"

#include "platform/Errors.h"

namespace {

thread_local WindowCreationBinding* currentBinding = nullptr;

}  // namespace

WindowCreationBinding::WindowCreationBinding(CWnd& window) : window_(window), outer_(currentBinding) {
    hook_ = ::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
    if (hook_ == nullptr) ThrowLastError();
    currentBinding = this;
}

WindowCreationBinding::~WindowCreationBinding() {
    if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
    currentBinding = outer_;
}

LRESULT CALLBACK WindowCreationBinding::Hook(int code, WPARAM wParam, LPARAM lParam) {
    WindowCreationBinding* binding = currentBinding;
    // Hooks of outer bindings see the same event; only the newest acts.
    if (code == HCBT_CREATEWND && binding != nullptr && !binding->bound_) {
        try {
            binding->window_.Attach(reinterpret_cast<HWND>(wParam));
            binding->bound_ = true;
        } catch (...) {
            // The window then runs unbound; the caller sees Bound() false.
        }
        HHOOK hook = binding->hook_;
        binding->hook_ = nullptr;
        const LRESULT next = ::CallNextHookEx(hook, code, wParam, lParam);
        ::UnhookWindowsHookEx(hook);
        return next;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
