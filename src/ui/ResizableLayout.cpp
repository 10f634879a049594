#include "ui/ResizableLayout.h"

#include "platform/Errors.h"
#include "ui/win/GdiHandles.h"

namespace {

SIZE SizeOf(const RECT& rect) {
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

std::wstring ClassNameOf(HWND hwnd) {
    wchar_t name[261] = {};
    ::GetClassNameW(hwnd, name, 261);
    return name;
}

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
}

bool SameClass(const std::wstring& className, const wchar_t* name) {
    return ::lstrcmpiW(className.c_str(), name) == 0;
}

bool ButtonLikesClipping(HWND button) {
    const DWORD type = StyleOf(button) & BS_TYPEMASK;
    if (type == BS_GROUPBOX) return false;
    if (type == BS_OWNERDRAW) {
        // An owner-drawn button that lets clicks through is drawn over
        // what lies below it.
        RECT rect{};
        ::GetWindowRect(button, &rect);
        const LPARAM centre = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        if (::SendMessageW(button, WM_NCHITTEST, 0, centre) == HTTRANSPARENT) return false;
    }
    return true;
}

}  // namespace

namespace ResizeRules {

bool StaticNeedsRefresh(DWORD style, SIZE oldSize, SIZE newSize) {
    const bool widthChanged = oldSize.cx != newSize.cx;
    const bool heightChanged = oldSize.cy != newSize.cy;
    if (!widthChanged && !heightChanged) return false;
    if ((style & SS_CENTERIMAGE) != 0 && heightChanged) return true;
    switch (style & SS_TYPEMASK) {
    case SS_ICON:
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_BITMAP:
    case SS_ENHMETAFILE:
    case SS_ETCHEDFRAME:
        return true;
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
        return widthChanged;
    case SS_LEFTNOWORDWRAP:
        return widthChanged && (style & SS_ELLIPSISMASK) != 0;
    default:
        return false;
    }
}

bool StaticLikesClipping(DWORD style) {
    const DWORD type = style & SS_TYPEMASK;
    switch (type) {
    case SS_ICON:
    case SS_ENHMETAFILE:
        return (style & SS_CENTERIMAGE) == 0;
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_USERITEM:
    case SS_SIMPLE:
    case SS_OWNERDRAW:
        return false;
    default:
        return type < SS_ETCHEDFRAME;
    }
}

bool ListBoxNeedsRefresh(const SCROLLINFO& horizontal, int gain) {
    if (gain <= 0) return false;
    const int hidden = horizontal.nMax + 1 - static_cast<int>(horizontal.nPage);
    return 0 < hidden && hidden < gain + horizontal.nPos;
}

}  // namespace ResizeRules

UINT ResizeSupportMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"WMU_RESIZESUPPORT");
    return message;
}

const CResizableLayout::Anchor* CResizableLayout::FindAnchor(HWND child) const {
    const auto found = anchorIndex_.find(child);
    return found != anchorIndex_.end() ? &anchors_[found->second] : nullptr;
}

RECT CResizableLayout::ChildRect(HWND child) const {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, GetResizableWnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CResizableLayout::SetChildAnchor(HWND child, SIZE topLeft, SIZE bottomRight) {
    if (!::IsWindow(child)) throw Windows::Error(ERROR_INVALID_WINDOW_HANDLE);
    const RECT client = GetLayoutClientRect();
    const SIZE size = SizeOf(client);
    const RECT rect = ChildRect(child);

    Anchor anchor;
    anchor.hwnd = child;
    anchor.topLeft = topLeft;
    anchor.bottomRight = bottomRight;
    anchor.topLeftMargin = {rect.left - topLeft.cx * size.cx / 100, rect.top - topLeft.cy * size.cy / 100};
    anchor.bottomRightMargin = {rect.right - bottomRight.cx * size.cx / 100,
                                rect.bottom - bottomRight.cy * size.cy / 100};
    anchor.className = ClassNameOf(child);
    anchor.answersResizeSupport = QueryResizeProperties(anchor, anchor.properties);
    if (!anchor.answersResizeSupport) anchor.properties.likesClipping = LikesClipping(anchor);

    if (const auto found = anchorIndex_.find(child); found != anchorIndex_.end()) {
        anchors_[found->second] = std::move(anchor);
        return;
    }
    anchorIndex_.emplace(child, anchors_.size());
    anchors_.push_back(std::move(anchor));
}

void CResizableLayout::AnchorRemainingChildren() {
    HWND parent = GetResizableWnd();
    for (HWND child = ::FindWindowExW(parent, nullptr, nullptr, nullptr); child != nullptr;
         child = ::FindWindowExW(parent, child, nullptr, nullptr)) {
        if (anchorIndex_.count(child) == 0 && excluded_.count(child) == 0)
            SetChildAnchor(child, kDefaultAnchor, kDefaultAnchor);
    }
}

void CResizableLayout::ExcludeFromAnchoring(HWND child) {
    excluded_.insert(child);
}

void CResizableLayout::RemoveAllAnchors() {
    anchors_.clear();
    anchorIndex_.clear();
    excluded_.clear();
}

RECT CResizableLayout::AnchoredRect(const Anchor& anchor, const RECT& client) const {
    const SIZE size = SizeOf(client);
    RECT rect{anchor.topLeftMargin.cx + size.cx * anchor.topLeft.cx / 100,
              anchor.topLeftMargin.cy + size.cy * anchor.topLeft.cy / 100,
              anchor.bottomRightMargin.cx + size.cx * anchor.bottomRight.cx / 100,
              anchor.bottomRightMargin.cy + size.cy * anchor.bottomRight.cy / 100};
    ::OffsetRect(&rect, client.left, client.top);
    return rect;
}

void CResizableLayout::LayoutChildren() {
    if (anchors_.empty()) return;
    const RECT client = GetLayoutClientRect();
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(anchors_.size()));
    for (const Anchor& anchor : anchors_) {
        const RECT oldRect = ChildRect(anchor.hwnd);
        const RECT newRect = AnchoredRect(anchor, client);
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
        if (NeedsRefresh(anchor, oldRect, newRect)) flags |= SWP_NOCOPYBITS;
        if (oldRect.left == newRect.left && oldRect.top == newRect.top) flags |= SWP_NOMOVE;
        const SIZE oldSize = SizeOf(oldRect);
        const SIZE newSize = SizeOf(newRect);
        if (oldSize.cx == newSize.cx && oldSize.cy == newSize.cy) flags |= SWP_NOSIZE;
        if (batch != nullptr) {
            // A failed step frees the batch; the rest is moved one by one.
            batch = ::DeferWindowPos(batch, anchor.hwnd, nullptr, newRect.left, newRect.top, newSize.cx, newSize.cy,
                                     flags);
        }
        if (batch == nullptr)
            ::SetWindowPos(anchor.hwnd, nullptr, newRect.left, newRect.top, newSize.cx, newSize.cy, flags);
    }
    if (batch != nullptr) ::EndDeferWindowPos(batch);
}

bool CResizableLayout::QueryResizeProperties(const Anchor& anchor, ResizeSupportProperties& properties) const {
    properties = {};
    return ::SendMessageW(anchor.hwnd, ResizeSupportMessage(), kResizeQueryProperties,
                          reinterpret_cast<LPARAM>(&properties)) != 0;
}

bool CResizableLayout::LikesClipping(const Anchor& anchor) const {
    if (anchor.answersResizeSupport) {
        if (!anchor.properties.askClipping) return anchor.properties.likesClipping != FALSE;
        BOOL likes = FALSE;
        if (::SendMessageW(anchor.hwnd, ResizeSupportMessage(), kResizeQueryClipping,
                           reinterpret_cast<LPARAM>(&likes)) != 0)
            return likes != FALSE;
    }
    if (SameClass(anchor.className, L"Button")) return ButtonLikesClipping(anchor.hwnd);
    if (SameClass(anchor.className, L"Static")) return ResizeRules::StaticLikesClipping(StyleOf(anchor.hwnd));
    return true;
}

bool CResizableLayout::NeedsRefresh(const Anchor& anchor, const RECT& oldRect, const RECT& newRect) const {
    if (anchor.answersResizeSupport) {
        if (!anchor.properties.askRefresh) return anchor.properties.needsRefresh != FALSE;
        ResizeSupportRefresh query{oldRect, newRect, FALSE};
        if (::SendMessageW(anchor.hwnd, ResizeSupportMessage(), kResizeQueryRefresh,
                           reinterpret_cast<LPARAM>(&query)) != 0)
            return query.needsRefresh != FALSE;
    }
    const SIZE oldSize = SizeOf(oldRect);
    const SIZE newSize = SizeOf(newRect);
    if (oldSize.cx == newSize.cx && oldSize.cy == newSize.cy) return false;
    if (SameClass(anchor.className, L"Static"))
        return ResizeRules::StaticNeedsRefresh(StyleOf(anchor.hwnd), oldSize, newSize);
    if (SameClass(anchor.className, L"ListBox")) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (!::GetScrollInfo(anchor.hwnd, SB_HORZ, &info)) return false;
        return ResizeRules::ListBoxNeedsRefresh(info, newSize.cx - oldSize.cx);
    }
    return false;
}

RECT CResizableLayout::GetLayoutClientRect() const {
    RECT rect{};
    ::GetClientRect(GetResizableWnd(), &rect);
    return rect;
}

CResizableLayout::SavedClip CResizableLayout::ClipChildren(HDC dc) const {
    SavedClip saved{nullptr, false};
    HWND window = GetResizableWnd();
    if (::WindowFromDC(dc) != window) return saved;
    saved.region = ::CreateRectRgn(0, 0, 0, 0);
    if (saved.region != nullptr) saved.hadRegion = ::GetClipRgn(dc, saved.region) == 1;

    RECT client{};
    ::GetClientRect(window, &client);
    WindowsPlatform::UniqueRegion region(::CreateRectRgnIndirect(&client));
    WindowsPlatform::UniqueRegion child(::CreateRectRgn(0, 0, 0, 0));
    if (!region || !child) return saved;
    for (const Anchor& anchor : anchors_) {
        if (!::IsWindowVisible(anchor.hwnd)) continue;
        const RECT rect = ChildRect(anchor.hwnd);
        if (::GetWindowRgn(anchor.hwnd, child.Get()) != ERROR)
            ::OffsetRgn(child.Get(), rect.left, rect.top);
        else
            ::SetRectRgn(child.Get(), rect.left, rect.top, rect.right, rect.bottom);
        // Children that do not answer keep the answer found when anchored.
        const bool likes =
            anchor.answersResizeSupport ? LikesClipping(anchor) : anchor.properties.likesClipping != FALSE;
        ::CombineRgn(region.Get(), region.Get(), child.Get(), likes ? RGN_DIFF : RGN_OR);
    }
    ::ExtSelectClipRgn(dc, region.Get(), RGN_AND);
    return saved;
}

void CResizableLayout::RestoreClip(HDC dc, const SavedClip& saved) noexcept {
    if (saved.region == nullptr) return;
    ::SelectClipRgn(dc, saved.hadRegion ? saved.region : nullptr);
    ::DeleteObject(saved.region);
}
