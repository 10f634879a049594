#pragma once
// The service stop wait writes a dot for every tenth poll: how many is
// timing, which a loaded machine stretches. Tests compare log text without
// them.

#include <regex>
#include <string>

inline std::wstring WithoutStopWaitDots(const std::wstring& text) {
    return std::regex_replace(text, std::wregex(LR"(\.\.\.\.+stopped)"), L"...stopped");
}
