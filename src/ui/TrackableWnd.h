#pragma once
// Mixes connection tracking into a window class: the connections the window
// keeps (Track) end when its window is destroyed or the object goes, and
// slots bound to the object with boost::bind end with the object
// (boost::signals2::trackable). So no signal reaches a window that is gone.

#include <windows.h>

#include <boost/signals2/connection.hpp>
#include <boost/signals2/trackable.hpp>

#include <vector>

template <class Base>
class TrackableWnd : public Base, public boost::signals2::trackable {
public:
    using Base::Base;

protected:
    void Track(boost::signals2::connection connection) { connections_.emplace_back(std::move(connection)); }
    // Ends every tracked connection.
    void DisconnectAll() noexcept { connections_.clear(); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DESTROY) DisconnectAll();
        return Base::WindowProc(message, wParam, lParam);
    }

private:
    std::vector<boost::signals2::scoped_connection> connections_;
};
