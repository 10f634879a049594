#pragma once
// How a list shows its columns: visibility, width, display order and the
// sort columns.

#include "ui/models/NullOr.h"

#include <windows.h>

#include <boost/signals2/signal.hpp>

#include <vector>

class ListCtrlColumnSettingsModel {
public:
    virtual ~ListCtrlColumnSettingsModel() = default;

    virtual bool IsVisible(DWORD column) const = 0;
    virtual void SetVisible(DWORD column, bool visible) = 0;
    // Pixels.
    virtual int GetWidth(DWORD column) const = 0;
    virtual void SetWidth(DWORD column, int width) = 0;
    // Whether columnA is shown left of columnB.
    virtual bool IsOrderedBefore(DWORD columnA, DWORD columnB) const = 0;
    // The columns in display order.
    virtual void SetOrder(const std::vector<DWORD>& columns) = 0;
    virtual NullOr<DWORD> GetSortColumn() const = 0;
    virtual NullOr<DWORD> GetSecondarySortColumn() const = 0;
    virtual bool IsSortAscending() const = 0;
    virtual bool IsSecondarySortAscending() const = 0;
    // What a click on the column's heading does.
    virtual void SortBy(DWORD column) = 0;
    // Whether the heading's menu for hiding columns is offered.
    virtual bool CanHideColumns() const { return true; }
    // Whether the column is listed in that menu.
    virtual bool CanHide(DWORD /*column*/) const { return true; }

    boost::signals2::signal<void()> changed;

protected:
    ListCtrlColumnSettingsModel() = default;
    ListCtrlColumnSettingsModel(const ListCtrlColumnSettingsModel&) = delete;
    ListCtrlColumnSettingsModel& operator=(const ListCtrlColumnSettingsModel&) = delete;
};
