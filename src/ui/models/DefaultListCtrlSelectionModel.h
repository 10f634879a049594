#pragma once
// A selection kept as a set of items rather than rows: the row map names
// the item of each row, so the selection and the focus follow their items
// when the model reorders or reloads its rows.

#include "ui/models/ListCtrlMap.h"
#include "ui/models/ListCtrlModel.h"
#include "ui/models/ListCtrlSelectionModel.h"

#include <boost/signals2/connection.hpp>

#include <functional>
#include <optional>
#include <set>

template <class Item, class Less = std::less<Item>>
class DefaultListCtrlSelectionModel : public ListCtrlSelectionModel {
public:
    using ItemSet = std::set<Item, Less>;

    // Both must outlive this object. The model's changed signal is
    // connected here, after every slot of group 0 (the row sorting).
    DefaultListCtrlSelectionModel(const ListCtrlMap<Item>& map, ListCtrlModel& model)
        : map_(map), model_(model), onModelChanged_(model.changed.connect([this] { Refresh(); })) {}

    bool IsSelected(DWORD row) const override { return selected_.count(map_.ItemAt(row)) != 0; }

    // Emits selectionChanged(rows) even when nothing changed.
    void SetSelected(const std::set<DWORD>& rows, bool selected) override {
        for (DWORD row : rows) {
            if (selected)
                selected_.insert(map_.ItemAt(row));
            else
                selected_.erase(map_.ItemAt(row));
        }
        selectionChanged(rows);
    }

    void SetSelected(DWORD row, bool selected) override {
        if (IsSelected(row) == selected) return;
        SetSelected(std::set<DWORD>{row}, selected);
    }

    void SelectAll(bool selected) override {
        if (selected) {
            const DWORD count = model_.GetRowCount();
            for (DWORD row = 0; row < count; ++row) selected_.insert(map_.ItemAt(row));
        } else {
            if (selected_.empty()) return;
            selected_.clear();
        }
        selectionChanged(std::set<DWORD>());
    }

    bool IsFocused(DWORD row) const override { return focusedRow_ == NullOr<DWORD>(row); }

    void SetFocus(NullOr<DWORD> row) override {
        if (row == focusedRow_) return;
        focusedRow_ = row;
        focusedItem_.reset();
        if (row) focusedItem_ = map_.ItemAt(row.Value());
        focusChanged(row);
    }

    NullOr<DWORD> GetFocus() const override { return focusedRow_; }
    DWORD GetSelectedCount() const override { return static_cast<DWORD>(selected_.size()); }

    // The selected items, whatever rows they are in now.
    const ItemSet& SelectedItems() const noexcept { return selected_; }

private:
    // The rows were replaced: keep the selected items that are still
    // listed, and move the focus to the row that now shows its item.
    void Refresh() {
        const std::optional<Item> focused = focusedItem_;
        focusedRow_ = NullOr<DWORD>();
        focusedItem_.reset();
        ItemSet still;
        const DWORD count = model_.GetRowCount();
        for (DWORD row = 0; row < count; ++row) {
            const Item item = map_.ItemAt(row);
            if (selected_.count(item) != 0) still.insert(item);
            if (focused && !focusedItem_ && Same(item, *focused)) {
                focusedRow_ = row;
                focusedItem_ = item;
            }
        }
        if (!SameSet(still, selected_)) {
            selected_.swap(still);
            selectionChanged(std::set<DWORD>());
        }
    }

    bool Same(const Item& a, const Item& b) const {
        const Less& less = selected_.key_comp();
        return !less(a, b) && !less(b, a);
    }

    bool SameSet(const ItemSet& a, const ItemSet& b) const {
        if (a.size() != b.size()) return false;
        for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
            if (!Same(*i, *j)) return false;
        return true;
    }

    const ListCtrlMap<Item>& map_;
    ListCtrlModel& model_;
    ItemSet selected_;
    std::optional<Item> focusedItem_;
    NullOr<DWORD> focusedRow_;
    boost::signals2::scoped_connection onModelChanged_;
};
