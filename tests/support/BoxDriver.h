#pragma once
// Runs a program the way a person at the screen would meet it: every message
// box the process shows is found, its caption and text are recorded, and a
// button is pressed, until the process ends.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenBox {
    std::wstring caption;
    std::wstring text;
};

struct DrivenRun {
    DWORD exitCode = 0;
    bool timedOut = false;  // the process was ended after the time-out
    std::vector<SeenBox> boxes;
};

// Answers a box with the id of the button to press (IDOK, IDYES, ...).
using BoxAnswer = std::function<int(const SeenBox&)>;

DrivenRun RunAndAnswerBoxes(const std::wstring& commandLine, const BoxAnswer& answer = {},
                            DWORD timeoutMs = 120000);
