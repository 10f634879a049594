#include "ui/models/MappingListCtrlColumnSettingsModel.h"

MappingListCtrlColumnSettingsModel::MappingListCtrlColumnSettingsModel(ListCtrlColumnSettingsModel& source,
                                                                       const SortingListCtrlColumnMap& columns)
    : source_(source), columns_(columns) {
    onChanged_ = source.changed.connect([this] { changed(); });
}

NullOr<DWORD> MappingListCtrlColumnSettingsModel::ToView(NullOr<DWORD> sourceColumn) const {
    if (!sourceColumn || !source_.IsVisible(sourceColumn.Value())) return {};
    return columns_.ToView(sourceColumn.Value());
}

bool MappingListCtrlColumnSettingsModel::IsVisible(DWORD column) const { return source_.IsVisible(Column(column)); }

void MappingListCtrlColumnSettingsModel::SetVisible(DWORD column, bool visible) {
    source_.SetVisible(Column(column), visible);
}

int MappingListCtrlColumnSettingsModel::GetWidth(DWORD column) const { return source_.GetWidth(Column(column)); }

void MappingListCtrlColumnSettingsModel::SetWidth(DWORD column, int width) {
    source_.SetWidth(Column(column), width);
}

bool MappingListCtrlColumnSettingsModel::IsOrderedBefore(DWORD columnA, DWORD columnB) const {
    return source_.IsOrderedBefore(Column(columnA), Column(columnB));
}

void MappingListCtrlColumnSettingsModel::SetOrder(const std::vector<DWORD>& columns) {
    std::vector<DWORD> sourceColumns;
    sourceColumns.reserve(columns.size());
    for (DWORD column : columns) sourceColumns.push_back(Column(column));
    source_.SetOrder(sourceColumns);
}

NullOr<DWORD> MappingListCtrlColumnSettingsModel::GetSortColumn() const { return ToView(source_.GetSortColumn()); }

NullOr<DWORD> MappingListCtrlColumnSettingsModel::GetSecondarySortColumn() const {
    return ToView(source_.GetSecondarySortColumn());
}

bool MappingListCtrlColumnSettingsModel::IsSortAscending() const { return source_.IsSortAscending(); }

bool MappingListCtrlColumnSettingsModel::IsSecondarySortAscending() const {
    return source_.IsSecondarySortAscending();
}

void MappingListCtrlColumnSettingsModel::SortBy(DWORD column) { source_.SortBy(Column(column)); }
