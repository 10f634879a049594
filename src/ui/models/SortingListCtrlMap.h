#pragma once
// The order in which a view shows the rows of a source model: rows[i] is
// the source row shown at view row i, sorted by the sort columns of the
// column settings. The map rebuilds itself from the signals of both, in
// group 0, so it is up to date before any ungrouped listener of the same
// signal runs.

#include "ui/models/ListCtrlColumnSettingsModel.h"
#include "ui/models/ListCtrlModel.h"

#include <boost/signals2/connection.hpp>

#include <vector>

class SortingListCtrlMap {
public:
    // Both must outlive the map.
    SortingListCtrlMap(ListCtrlModel& model, ListCtrlColumnSettingsModel& settings);
    SortingListCtrlMap(const SortingListCtrlMap&) = delete;
    SortingListCtrlMap& operator=(const SortingListCtrlMap&) = delete;

    // The source row shown at viewRow; throws std::out_of_range beyond the
    // rows of the last rebuild.
    DWORD ToSource(DWORD viewRow) const { return rows_.at(viewRow); }
    // The first view row that shows sourceRow; 0 when none does.
    DWORD ToView(DWORD sourceRow) const;
    const std::vector<DWORD>& Rows() const noexcept { return rows_; }

    // Keeps the present order of the rows that still exist, appends new
    // rows, then sorts stably by the secondary and then the primary sort
    // column. A descending sort keeps equal rows in reverse order of their
    // previous positions.
    void Rebuild();

private:
    void OnColumnsChanged(const std::vector<DWORD>& columns);

    const ListCtrlModel& model_;
    const ListCtrlColumnSettingsModel& settings_;
    std::vector<DWORD> rows_;
    boost::signals2::scoped_connection onModelChanged_;
    boost::signals2::scoped_connection onColumnsChanged_;
    boost::signals2::scoped_connection onSettingsChanged_;
};

// The order in which a view shows the columns of a source model:
// columns[i] is the source column shown at view column i, the visible
// columns in display order. Rebuilt in group 0 like the row map.
class SortingListCtrlColumnMap {
public:
    SortingListCtrlColumnMap(ListCtrlModel& model, ListCtrlColumnSettingsModel& settings);
    SortingListCtrlColumnMap(const SortingListCtrlColumnMap&) = delete;
    SortingListCtrlColumnMap& operator=(const SortingListCtrlColumnMap&) = delete;

    // The source column shown at viewColumn; throws std::out_of_range
    // beyond the shown columns.
    DWORD ToSource(DWORD viewColumn) const { return columns_.at(viewColumn); }
    // The view column that shows sourceColumn; 0 when none does.
    DWORD ToView(DWORD sourceColumn) const;
    // Whether sourceColumn is shown at all.
    bool Shows(DWORD sourceColumn) const;
    const std::vector<DWORD>& Columns() const noexcept { return columns_; }
    DWORD Count() const noexcept { return static_cast<DWORD>(columns_.size()); }

    void Rebuild();

private:
    const ListCtrlModel& model_;
    const ListCtrlColumnSettingsModel& settings_;
    std::vector<DWORD> columns_;
    boost::signals2::scoped_connection onModelChanged_;
    boost::signals2::scoped_connection onSettingsChanged_;
};
