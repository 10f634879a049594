#pragma once
// Source column settings as a view sees them: view columns are translated
// to source columns through the column map; the sort columns come back as
// view columns, and as none while hidden.

#include "ui/models/ListCtrlColumnSettingsModel.h"
#include "ui/models/SortingListCtrlMap.h"

#include <boost/signals2/connection.hpp>

class MappingListCtrlColumnSettingsModel : public ListCtrlColumnSettingsModel {
public:
    // Both must outlive this object.
    MappingListCtrlColumnSettingsModel(ListCtrlColumnSettingsModel& source, const SortingListCtrlColumnMap& columns);

    bool IsVisible(DWORD column) const override;
    void SetVisible(DWORD column, bool visible) override;
    int GetWidth(DWORD column) const override;
    void SetWidth(DWORD column, int width) override;
    bool IsOrderedBefore(DWORD columnA, DWORD columnB) const override;
    void SetOrder(const std::vector<DWORD>& columns) override;
    NullOr<DWORD> GetSortColumn() const override;
    NullOr<DWORD> GetSecondarySortColumn() const override;
    bool IsSortAscending() const override;
    bool IsSecondarySortAscending() const override;
    void SortBy(DWORD column) override;

private:
    NullOr<DWORD> ToView(NullOr<DWORD> sourceColumn) const;
    DWORD Column(DWORD viewColumn) const { return columns_.ToSource(viewColumn); }

    ListCtrlColumnSettingsModel& source_;
    const SortingListCtrlColumnMap& columns_;
    boost::signals2::scoped_connection onChanged_;
};
