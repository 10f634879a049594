#pragma once
// Column settings kept in memory: one record per column, made on first use
// from the default hooks, and one sort record, made on first use from the
// sort hooks. Derived models choose their defaults by overriding the hooks.
// Every change emits changed; a call that changes nothing emits nothing,
// except SetSort, which always emits.

#include "ui/models/ListCtrlColumnSettingsModel.h"

#include <map>
#include <optional>

class DefaultListCtrlColumnSettingsModel : public ListCtrlColumnSettingsModel {
public:
    bool IsVisible(DWORD column) const override;
    // Hiding a sort column clears it; hiding the primary one promotes the
    // secondary one. The directions stay as they are.
    void SetVisible(DWORD column, bool visible) override;
    int GetWidth(DWORD column) const override;
    void SetWidth(DWORD column, int width) override;
    bool IsOrderedBefore(DWORD columnA, DWORD columnB) const override;
    // The column at position i gets order i; an empty list does nothing.
    void SetOrder(const std::vector<DWORD>& columns) override;
    NullOr<DWORD> GetSortColumn() const override;
    NullOr<DWORD> GetSecondarySortColumn() const override;
    bool IsSortAscending() const override;
    bool IsSecondarySortAscending() const override;
    // No sort column: the column becomes it, direction unchanged. The sort
    // column again: its direction turns. Another column: the old sort
    // column becomes the secondary one and the column sorts ascending.
    void SortBy(DWORD column) override;

    // Sets the sort column and its direction directly.
    void SetSort(NullOr<DWORD> column, bool ascending);

protected:
    virtual bool GetDefaultVisible(DWORD /*column*/) const { return true; }
    virtual int GetDefaultWidth(DWORD /*column*/) const { return 100; }
    virtual int GetDefaultOrder(DWORD /*column*/) const { return -1; }
    virtual NullOr<DWORD> GetDefaultSortColumn() const { return {}; }
    virtual NullOr<DWORD> GetDefaultSecondarySortColumn() const { return {}; }
    virtual bool GetDefaultAscending() const { return false; }
    virtual bool GetDefaultSecondaryAscending() const { return false; }

private:
    struct ColumnRecord {
        bool visible;
        int width;
        int order;
    };
    struct SortRecord {
        NullOr<DWORD> sortColumn;
        NullOr<DWORD> secondarySortColumn;
        bool ascending;
        bool secondaryAscending;
    };

    ColumnRecord& Column(DWORD column) const;
    SortRecord& Sort() const;

    // Made on first use, so the getters create them too.
    mutable std::map<DWORD, ColumnRecord> columns_;
    mutable std::optional<SortRecord> sort_;
};
