#pragma once
// Replaces the message boxes for the life of the object: every box is
// recorded and answered with a chosen button instead of being shown.

#include "platform/MessageBox.h"

#include <string>
#include <vector>

class MessageBoxRecorder {
public:
    struct Box {
        std::wstring text;
        unsigned type;
        std::wstring caption;
    };

    explicit MessageBoxRecorder(int answer = 1 /* IDOK */) {
        previous_ = WindowsPlatform::SetMessageBoxHandler([this, answer](const std::wstring& text, unsigned type,
                                                                          const std::wstring& caption) {
            boxes.push_back({text, type, caption});
            return answer;
        });
    }
    ~MessageBoxRecorder() { WindowsPlatform::SetMessageBoxHandler(std::move(previous_)); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<Box> boxes;

private:
    WindowsPlatform::MessageBoxHandler previous_;
};
