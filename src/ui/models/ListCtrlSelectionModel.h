#pragma once
// Which rows of a list are selected and which row has the focus.

#include "ui/models/NullOr.h"

#include <windows.h>

#include <boost/signals2/signal.hpp>

#include <set>

class ListCtrlSelectionModel {
public:
    virtual ~ListCtrlSelectionModel() = default;

    virtual bool IsSelected(DWORD row) const = 0;
    // Note: SetSelected({row}, ...) picks the single-row overload; pass a
    // std::set<DWORD> explicitly for the set form.
    virtual void SetSelected(const std::set<DWORD>& rows, bool selected) = 0;
    virtual void SetSelected(DWORD row, bool selected) = 0;
    // true selects every row; false clears the selection.
    virtual void SelectAll(bool selected) = 0;
    virtual bool IsFocused(DWORD row) const = 0;
    // An empty row removes the focus.
    virtual void SetFocus(NullOr<DWORD> row) = 0;
    virtual NullOr<DWORD> GetFocus() const = 0;
    virtual DWORD GetSelectedCount() const = 0;

    // The rows whose selection may have changed; an empty set means any row.
    boost::signals2::signal<void(const std::set<DWORD>&)> selectionChanged;
    // The new focused row.
    boost::signals2::signal<void(NullOr<DWORD>)> focusChanged;

protected:
    ListCtrlSelectionModel() = default;
    ListCtrlSelectionModel(const ListCtrlSelectionModel&) = delete;
    ListCtrlSelectionModel& operator=(const ListCtrlSelectionModel&) = delete;
};
