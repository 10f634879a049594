#pragma once
// The item a model shows in each row, so that state kept per item (the
// selection) survives reordering and reloading of the rows.

#include <windows.h>

template <class T>
class ListCtrlMap {
public:
    virtual ~ListCtrlMap() = default;
    virtual T ItemAt(DWORD row) const = 0;

protected:
    ListCtrlMap() = default;
    ListCtrlMap(const ListCtrlMap&) = delete;
    ListCtrlMap& operator=(const ListCtrlMap&) = delete;
};
