#pragma once
// The header of the program's list views: shows the sort arrow on the sort
// column (the themed arrow where visual styles are on, a drawn triangle
// where they are off), heading tooltips from a model, and Tab navigation
// between the list and the header.

#include "ui/models/ListCtrlColumnSettingsModel.h"
#include "ui/models/ListCtrlModel.h"
#include "ui/win/ToolTip.h"
#include "ui/win/Wnd.h"

#include <string>

class CSortHeaderCtrl : public CWnd {
public:
    // Shows the arrow on column (−1: on none) pointing up for ascending.
    void SetSortArrow(int column, bool ascending);
    int SortColumn() const noexcept { return sortColumn_; }
    bool IsSortAscending() const noexcept { return ascending_; }

    // The model whose column tooltips the headings show, and the column
    // settings; either may be null.
    void SetModels(const ListCtrlModel* model, ListCtrlColumnSettingsModel* settings) noexcept {
        model_ = model;
        settings_ = settings;
    }

    int GetItemCount() const;
    // The header's columns in display order.
    std::vector<int> GetOrderArray() const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnSubclassed() override;

private:
    void ApplySortArrow();
    void SetFormatFlags(int column, int add, int remove);
    void DrawItem(const DRAWITEMSTRUCT& item) const;
    void DrawSortTriangle(HDC dc, const RECT& cell, int right) const;
    void UpdateToolTip(LPARAM point);
    bool OnToolTipText(NMHDR& header);
    void OnTab();

    int sortColumn_ = -1;
    int previousSortColumn_ = -1;
    bool ascending_ = true;
    const ListCtrlModel* model_ = nullptr;
    ListCtrlColumnSettingsModel* settings_ = nullptr;
    ToolTipWindow toolTip_;
    std::string narrowToolTip_;
    std::wstring wideToolTip_;
};
