// Test entry point. No test may show a real message box: a box that a test
// did not ask for fails that test and is answered at once.

#include "platform/MessageBox.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    WindowsPlatform::SetMessageBoxHandler([](const std::wstring& text, unsigned, const std::wstring&) {
        ADD_FAILURE() << "unexpected message box: " << ::testing::PrintToString(text);
        return 1;
    });
    return RUN_ALL_TESTS();
}
