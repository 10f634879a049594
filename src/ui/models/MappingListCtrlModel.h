#pragma once
// A source model as a view sees it: view rows and columns are translated
// through the sorting maps, and every question goes on to the source. The
// source's signals are passed on after the maps have rebuilt themselves.

#include "ui/models/ListCtrlModel.h"
#include "ui/models/SortingListCtrlMap.h"

#include <boost/signals2/connection.hpp>

class MappingListCtrlModel : public ListCtrlModel {
public:
    // All three must outlive this object.
    MappingListCtrlModel(ListCtrlModel& source, const SortingListCtrlMap& rows,
                         const SortingListCtrlColumnMap& columns);

    DWORD GetRowCount() const override;
    DWORD GetColumnCount() const override;
    std::string GetColumnHeading(DWORD column) const override;
    std::string GetText(DWORD row, DWORD column) const override;
    int GetFontWeight(DWORD row, DWORD column) const override;
    COLORREF GetTextColor(DWORD row, DWORD column) const override;
    COLORREF GetBackgroundColor(DWORD row, DWORD column) const override;
    int GetImage(DWORD row) const override;
    int GetLeadingWidth(DWORD row) const override;
    bool HasToolTip(DWORD row, DWORD column) const override;
    std::string GetToolTipText(DWORD row, DWORD column) const override;
    std::string GetColumnToolTip(DWORD column) const override;
    std::string GetEmptyText() const override;
    bool IsLess(DWORD column, DWORD rowA, DWORD rowB) const override;
    bool ContainsText(DWORD row, DWORD column, const std::string& text) const override;

private:
    DWORD Row(DWORD viewRow) const { return rows_.ToSource(viewRow); }
    DWORD Column(DWORD viewColumn) const { return columns_.ToSource(viewColumn); }
    void OnColumnsChanged(const std::vector<DWORD>& sourceColumns);

    ListCtrlModel& source_;
    const SortingListCtrlMap& rows_;
    const SortingListCtrlColumnMap& columns_;
    boost::signals2::scoped_connection onChanged_;
    boost::signals2::scoped_connection onColumnsChanged_;
};
