#include "ui/models/SortingListCtrlMap.h"

#include <algorithm>

namespace {

// Sorts rows stably by one column. Descending reads the rows from last to
// first and sorts them stably the other way round, so rows that compare
// equal end up in reverse order of their previous positions.
void SortByColumn(std::vector<DWORD>& rows, const ListCtrlModel& model, DWORD column, bool ascending) {
    if (ascending) {
        std::stable_sort(rows.begin(), rows.end(),
                         [&model, column](DWORD a, DWORD b) { return model.IsLess(column, a, b); });
    } else {
        std::reverse(rows.begin(), rows.end());
        std::stable_sort(rows.begin(), rows.end(),
                         [&model, column](DWORD a, DWORD b) { return model.IsLess(column, b, a); });
    }
}

}  // namespace

SortingListCtrlMap::SortingListCtrlMap(ListCtrlModel& model, ListCtrlColumnSettingsModel& settings)
    : model_(model), settings_(settings) {
    Rebuild();
    onModelChanged_ = model.changed.connect(0, [this] { Rebuild(); });
    onColumnsChanged_ =
        model.columnsChanged.connect(0, [this](const std::vector<DWORD>& columns) { OnColumnsChanged(columns); });
    onSettingsChanged_ = settings.changed.connect(0, [this] { Rebuild(); });
}

DWORD SortingListCtrlMap::ToView(DWORD sourceRow) const {
    const auto found = std::find(rows_.begin(), rows_.end(), sourceRow);
    return found == rows_.end() ? 0 : static_cast<DWORD>(found - rows_.begin());
}

void SortingListCtrlMap::Rebuild() {
    const DWORD count = model_.GetRowCount();
    // Built aside, so a comparison that throws leaves the old order intact.
    std::vector<DWORD> rows;
    rows.reserve(count);
    std::vector<bool> present(count, false);
    for (DWORD row : rows_) {
        if (row < count && !present[row]) {
            rows.push_back(row);
            present[row] = true;
        }
    }
    for (DWORD row = 0; row < count; ++row)
        if (!present[row]) rows.push_back(row);

    const NullOr<DWORD> sortColumn = settings_.GetSortColumn();
    if (sortColumn) {
        const NullOr<DWORD> secondary = settings_.GetSecondarySortColumn();
        if (secondary) SortByColumn(rows, model_, secondary.Value(), settings_.IsSecondarySortAscending());
        SortByColumn(rows, model_, sortColumn.Value(), settings_.IsSortAscending());
    }
    rows_.swap(rows);
}

void SortingListCtrlMap::OnColumnsChanged(const std::vector<DWORD>& columns) {
    const NullOr<DWORD> sortColumn = settings_.GetSortColumn();
    const NullOr<DWORD> secondary = settings_.GetSecondarySortColumn();
    for (DWORD column : columns) {
        if (sortColumn == NullOr<DWORD>(column) || secondary == NullOr<DWORD>(column)) {
            Rebuild();
            return;
        }
    }
}

SortingListCtrlColumnMap::SortingListCtrlColumnMap(ListCtrlModel& model, ListCtrlColumnSettingsModel& settings)
    : model_(model), settings_(settings) {
    Rebuild();
    // The model's changed may bring other columns; the settings' changed
    // other visibility or order.
    onModelChanged_ = model.changed.connect(0, [this] { Rebuild(); });
    onSettingsChanged_ = settings.changed.connect(0, [this] { Rebuild(); });
}

DWORD SortingListCtrlColumnMap::ToView(DWORD sourceColumn) const {
    const auto found = std::find(columns_.begin(), columns_.end(), sourceColumn);
    return found == columns_.end() ? 0 : static_cast<DWORD>(found - columns_.begin());
}

bool SortingListCtrlColumnMap::Shows(DWORD sourceColumn) const {
    return std::find(columns_.begin(), columns_.end(), sourceColumn) != columns_.end();
}

void SortingListCtrlColumnMap::Rebuild() {
    std::vector<DWORD> columns;
    const DWORD count = model_.GetColumnCount();
    for (DWORD column = 0; column < count; ++column)
        if (settings_.IsVisible(column)) columns.push_back(column);
    std::stable_sort(columns.begin(), columns.end(),
                     [this](DWORD a, DWORD b) { return settings_.IsOrderedBefore(a, b); });
    columns_.swap(columns);
}
