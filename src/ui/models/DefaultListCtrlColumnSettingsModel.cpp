#include "ui/models/DefaultListCtrlColumnSettingsModel.h"

DefaultListCtrlColumnSettingsModel::ColumnRecord& DefaultListCtrlColumnSettingsModel::Column(DWORD column) const {
    auto found = columns_.find(column);
    if (found == columns_.end()) {
        const ColumnRecord record{GetDefaultVisible(column), GetDefaultWidth(column), GetDefaultOrder(column)};
        found = columns_.emplace(column, record).first;
    }
    return found->second;
}

DefaultListCtrlColumnSettingsModel::SortRecord& DefaultListCtrlColumnSettingsModel::Sort() const {
    if (!sort_)
        sort_ = SortRecord{GetDefaultSortColumn(), GetDefaultSecondarySortColumn(), GetDefaultAscending(),
                           GetDefaultSecondaryAscending()};
    return *sort_;
}

bool DefaultListCtrlColumnSettingsModel::IsVisible(DWORD column) const { return Column(column).visible; }

void DefaultListCtrlColumnSettingsModel::SetVisible(DWORD column, bool visible) {
    ColumnRecord& record = Column(column);
    if (record.visible == visible) return;
    record.visible = visible;
    if (!visible) {
        SortRecord& sort = Sort();
        const NullOr<DWORD> hidden(column);
        if (sort.secondarySortColumn == hidden) {
            sort.secondarySortColumn = {};
        } else if (sort.sortColumn == hidden) {
            sort.sortColumn = sort.secondarySortColumn;
            sort.secondarySortColumn = {};
        }
    }
    changed();
}

int DefaultListCtrlColumnSettingsModel::GetWidth(DWORD column) const { return Column(column).width; }

void DefaultListCtrlColumnSettingsModel::SetWidth(DWORD column, int width) {
    ColumnRecord& record = Column(column);
    if (record.width == width) return;
    record.width = width;
    changed();
}

bool DefaultListCtrlColumnSettingsModel::IsOrderedBefore(DWORD columnA, DWORD columnB) const {
    return Column(columnA).order < Column(columnB).order;
}

void DefaultListCtrlColumnSettingsModel::SetOrder(const std::vector<DWORD>& columns) {
    bool anyChanged = false;
    for (size_t i = 0; i < columns.size(); ++i) {
        ColumnRecord& record = Column(columns[i]);
        const int order = static_cast<int>(i);
        if (record.order != order) {
            record.order = order;
            anyChanged = true;
        }
    }
    if (anyChanged) changed();
}

NullOr<DWORD> DefaultListCtrlColumnSettingsModel::GetSortColumn() const { return Sort().sortColumn; }

NullOr<DWORD> DefaultListCtrlColumnSettingsModel::GetSecondarySortColumn() const {
    return Sort().secondarySortColumn;
}

bool DefaultListCtrlColumnSettingsModel::IsSortAscending() const { return Sort().ascending; }

bool DefaultListCtrlColumnSettingsModel::IsSecondarySortAscending() const { return Sort().secondaryAscending; }

void DefaultListCtrlColumnSettingsModel::SortBy(DWORD column) {
    SortRecord& sort = Sort();
    if (!sort.sortColumn) {
        sort.sortColumn = column;
    } else if (sort.sortColumn.Value() == column) {
        sort.ascending = !sort.ascending;
    } else {
        sort.secondarySortColumn = sort.sortColumn;
        sort.secondaryAscending = sort.ascending;
        sort.sortColumn = column;
        sort.ascending = true;
    }
    changed();
}

void DefaultListCtrlColumnSettingsModel::SetSort(NullOr<DWORD> column, bool ascending) {
    SortRecord& sort = Sort();
    sort.sortColumn = column;
    sort.ascending = ascending;
    changed();
}
