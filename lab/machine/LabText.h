#pragma once
// Small text helpers of the lab: UTF-8 files, case-insensitive comparison.

#include <string>
#include <vector>

namespace Lab {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

std::wstring Lower(std::wstring text);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);

std::vector<std::wstring> SplitLines(const std::wstring& text);
std::wstring HexBytes(const std::string& bytes);
std::string BytesFromHex(const std::wstring& hex);

}  // namespace Lab
