#include "ui/models/RemoveListModel.h"

#include "platform/Text.h"

RemoveListModel::RemoveListModel() : DefaultListCtrlSelectionModel<ORVProduct*>(*this, *this) {
    // Sorted by name, A before Z, whatever order the components come in.
    SetSort(0, true);
}

void RemoveListModel::SetProducts(const std::vector<ORVProduct*>& products) {
    // Built aside, so a component that fails to describe itself leaves the
    // old rows in place.
    std::vector<std::array<std::string, 2>> rows;
    rows.reserve(products.size());
    for (ORVProduct* product : products) {
        std::string version;
        if (product->installed) {
            const std::optional<std::wstring> found = product->Version();
            version = found ? TranscodeU16ToU8(*found) : "unknown";
        }
        rows.push_back({TranscodeU16ToU8(product->Name()), std::move(version)});
    }
    products_ = products;
    rows_.swap(rows);
    DefaultListCtrlModel::changed();
}

DWORD RemoveListModel::GetRowCount() const { return static_cast<DWORD>(products_.size()); }

std::string RemoveListModel::GetColumnHeading(DWORD column) const {
    switch (column) {
    case 0:
        return "Name";
    case 1:
        return "Version";
    default:
        return {};
    }
}

std::string RemoveListModel::GetText(DWORD row, DWORD column) const {
    if (column > 1) return {};
    return rows_.at(row)[column];
}

COLORREF RemoveListModel::GetTextColor(DWORD, DWORD) const { return 0; }

COLORREF RemoveListModel::GetBackgroundColor(DWORD row, DWORD) const {
    const std::string& version = rows_.at(row)[1];
    if (version.empty()) return kNotInstalledColor;
    if (version == "unknown") return kUnknownVersionColor;
    return kInstalledColor;
}

std::string RemoveListModel::GetEmptyText() const { return "No installed products found."; }

ORVProduct* RemoveListModel::ItemAt(DWORD row) const { return products_.at(row); }
