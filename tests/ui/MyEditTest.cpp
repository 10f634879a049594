#include "ui/MyEdit.h"

#include "ui/TestWindows.h"

#include <gtest/gtest.h>

namespace {

struct Selection {
    DWORD start = 0;
    DWORD end = 0;
};

Selection SelectionOf(HWND edit) {
    Selection selection;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                   reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

class MyEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit.SubclassWindow(window);
        ::SetWindowTextW(window, kText);
        ::SendMessageW(window, EM_SETSEL, 3, 3);
    }

    static constexpr const wchar_t* kText = L"first line\r\nsecond line\r\nthird";
    static constexpr DWORD kLength = 30;  // characters of kText
    TestWindow parent{L"STATIC", WS_POPUP};
    TestWindow window{L"EDIT", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, parent, 1031, 200, 100};
    CMyEdit edit;
};

TEST_F(MyEditTest, ControlASelectsAllText) {
    {
        KeyHeldDown control(VK_CONTROL);
        EXPECT_EQ(::SendMessageW(window, WM_KEYDOWN, 'A', 0), 0);
    }
    EXPECT_EQ(SelectionOf(window).start, 0u);
    EXPECT_EQ(SelectionOf(window).end, kLength);
}

TEST_F(MyEditTest, PlainAOrAnotherControlKeyGoesToTheEdit) {
    ::SendMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(SelectionOf(window).end, 3u);
    {
        KeyHeldDown control(VK_CONTROL);
        ::SendMessageW(window, WM_KEYDOWN, VK_END, 0);
    }
    // Ctrl+End moved the caret to the end and selected nothing.
    EXPECT_EQ(SelectionOf(window).start, kLength);
    EXPECT_EQ(SelectionOf(window).end, kLength);
}

TEST_F(MyEditTest, ThirdClickOnTheDoubleClickSpotSelectsAllText) {
    const LPARAM spot = MAKELPARAM(20, 5);
    ::SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, spot);
    ::SendMessageW(window, WM_LBUTTONUP, 0, spot);
    EXPECT_EQ(::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, spot), 0);
    ::SendMessageW(window, WM_LBUTTONUP, 0, spot);
    EXPECT_EQ(SelectionOf(window).start, 0u);
    EXPECT_EQ(SelectionOf(window).end, kLength);
}

TEST_F(MyEditTest, ThirdClickElsewhereOrWithoutADoubleClickIsAnOrdinaryClick) {
    ::SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 5));
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(21, 5));
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(21, 5));
    EXPECT_NE(SelectionOf(window).end - SelectionOf(window).start, kLength);

    // The watch stopped with that click: the next one at the spot is plain.
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    EXPECT_NE(SelectionOf(window).end - SelectionOf(window).start, kLength);
}

}  // namespace
