#include "ui/models/DefaultListCtrlModel.h"

#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/WindowsVersion.h"

#include <boost/algorithm/string/predicate.hpp>

#include <locale>

namespace {

// Linguistic case folding exists from Windows 6.0 on; decided once.
DWORD IgnoreCaseFlags() {
    static const DWORD flags = IsWindowsVersionAtLeast(6, 0) ? LINGUISTIC_IGNORECASE : NORM_IGNORECASE;
    return flags;
}

int Compare(DWORD flags, const std::wstring& a, const std::wstring& b) {
    const int result = CompareStringW(LOCALE_USER_DEFAULT, flags, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                      static_cast<int>(b.size()));
    if (result == 0) ThrowLastError();
    return result;
}

}  // namespace

bool IsTextLess(const std::string& a, const std::string& b) {
    const std::wstring wideA = TranscodeU8ToU16(a);
    const std::wstring wideB = TranscodeU8ToU16(b);
    const int folded = Compare(IgnoreCaseFlags(), wideA, wideB);
    if (folded == CSTR_LESS_THAN) return true;
    if (folded != CSTR_EQUAL) return false;
    return Compare(0, wideA, wideB) == CSTR_LESS_THAN;
}

COLORREF DefaultListCtrlModel::GetTextColor(DWORD, DWORD) const { return GetSysColor(COLOR_WINDOWTEXT); }

COLORREF DefaultListCtrlModel::GetBackgroundColor(DWORD, DWORD) const { return GetSysColor(COLOR_WINDOW); }

bool DefaultListCtrlModel::IsLess(DWORD column, DWORD rowA, DWORD rowB) const {
    return IsTextLess(GetText(rowA, column), GetText(rowB, column));
}

bool DefaultListCtrlModel::ContainsText(DWORD row, DWORD column, const std::string& text) const {
    return boost::algorithm::icontains(GetText(row, column), text, std::locale());
}
