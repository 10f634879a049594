#pragma once
// Plain windows for tests of the window layer, destroyed with the object.

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>

class TestWindow {
public:
    TestWindow(const wchar_t* className, DWORD style, HWND parent = nullptr, UINT id = 0, int width = 200,
               int height = 100, const wchar_t* text = L"") {
        HMENU menu = (style & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
        hwnd_ = ::CreateWindowExW(0, className, text, style, 0, 0, width, height, parent, menu,
                                  ::GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow() {
        if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Get() const noexcept { return hwnd_; }
    operator HWND() const noexcept { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

inline std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline RECT RectInParent(HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline SIZE WindowSize(HWND hwnd) {
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

inline SIZE ClientSize(HWND hwnd) {
    RECT rect{};
    ::GetClientRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Holds a key down in this thread's keyboard state while it lives, as
// GetKeyState sees it.
class KeyHeldDown {
public:
    explicit KeyHeldDown(int virtualKey) {
        ::GetKeyboardState(saved_);
        BYTE state[256];
        std::copy(std::begin(saved_), std::end(saved_), state);
        state[virtualKey] = 0x80;
        ::SetKeyboardState(state);
    }
    ~KeyHeldDown() { ::SetKeyboardState(saved_); }
    KeyHeldDown(const KeyHeldDown&) = delete;
    KeyHeldDown& operator=(const KeyHeldDown&) = delete;

private:
    BYTE saved_[256] = {};
};
