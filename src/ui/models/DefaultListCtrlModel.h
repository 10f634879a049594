#pragma once
// A model with no rows and no columns that answers every other question
// with the usual defaults: system colours, normal weight, no image, the
// cell text as its tooltip. Derived models override what they show.

#include "ui/models/ListCtrlModel.h"

class DefaultListCtrlModel : public ListCtrlModel {
public:
    DWORD GetRowCount() const override { return 0; }
    DWORD GetColumnCount() const override { return 0; }
    std::string GetColumnHeading(DWORD) const override { return {}; }
    std::string GetText(DWORD, DWORD) const override { return {}; }
    int GetFontWeight(DWORD, DWORD) const override { return FW_NORMAL; }
    COLORREF GetTextColor(DWORD row, DWORD column) const override;
    COLORREF GetBackgroundColor(DWORD row, DWORD column) const override;
    int GetImage(DWORD) const override { return 0; }
    int GetLeadingWidth(DWORD) const override { return 0; }
    bool HasToolTip(DWORD, DWORD) const override { return false; }
    std::string GetToolTipText(DWORD row, DWORD column) const override { return GetText(row, column); }
    std::string GetColumnToolTip(DWORD) const override { return {}; }
    std::string GetEmptyText() const override { return {}; }
    // Compares the two cell texts as the user's locale sorts them, without
    // regard to case; texts equal that way are ordered case-sensitively.
    // Throws Windows::Error when the comparison fails.
    bool IsLess(DWORD column, DWORD rowA, DWORD rowB) const override;
    // Case-insensitive containment under the program's global locale.
    bool ContainsText(DWORD row, DWORD column, const std::string& text) const override;
};

// The comparison behind DefaultListCtrlModel::IsLess, for two UTF-8 texts.
bool IsTextLess(const std::string& a, const std::string& b);
