#pragma once
// Minimum and maximum tracking sizes and the maximised placement that a
// resizable window reports through WM_GETMINMAXINFO.

#include <windows.h>

class CResizableMinMax {
public:
    void SetMinTrackSize(SIZE size) noexcept {
        minTrackSize_ = {size.cx, size.cy};
        useMinTrack_ = true;
    }
    void SetMaxTrackSize(SIZE size) noexcept {
        maxTrackSize_ = {size.cx, size.cy};
        useMaxTrack_ = true;
    }
    void SetMaximizedRect(const RECT& rect) noexcept {
        maxPosition_ = {rect.left, rect.top};
        maxSize_ = {rect.right - rect.left, rect.bottom - rect.top};
        useMaxRect_ = true;
    }
    bool HasMinTrackSize() const noexcept { return useMinTrack_; }
    POINT MinTrackSize() const noexcept { return minTrackSize_; }

    void MinMaxInfo(MINMAXINFO& info) const noexcept {
        if (useMinTrack_) info.ptMinTrackSize = minTrackSize_;
        if (useMaxTrack_) info.ptMaxTrackSize = maxTrackSize_;
        if (useMaxRect_) {
            info.ptMaxPosition = maxPosition_;
            info.ptMaxSize = maxSize_;
        }
    }

private:
    bool useMaxTrack_ = false;
    bool useMinTrack_ = false;
    bool useMaxRect_ = false;
    POINT minTrackSize_{};
    POINT maxTrackSize_{};
    POINT maxPosition_{};
    POINT maxSize_{};
};
