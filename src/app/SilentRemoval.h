#pragma once
// Silent mode: removes the components named by switches without a window.

#include <string>

extern const wchar_t kSilentUsageText[];

void RunSilentRemoval(const std::wstring& argumentText);
