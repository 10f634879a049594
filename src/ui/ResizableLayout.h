#pragma once
// Anchor layout of a window's children. Each anchored child hangs its two
// corners at points given in percent of the layout window's client size
// (0,0 top-left ... 100,100 bottom-right) and keeps the distances to them
// that it had when it was anchored. LayoutChildren moves every child for
// the current client size in one deferred batch.

#include <windows.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The registered message "WMU_RESIZESUPPORT", which a child may answer to
// tell the layout how it wants to be treated. wParam says what is asked,
// lParam points to the matching structure; a child that answers returns
// TRUE after filling it.
UINT ResizeSupportMessage();

enum ResizeSupportQuery : WPARAM {
    kResizeQueryProperties = 101,  // lParam: ResizeSupportProperties*
    kResizeQueryClipping = 102,    // lParam: BOOL*, whether it likes clipping
    kResizeQueryRefresh = 103,     // lParam: ResizeSupportRefresh*
};

struct ResizeSupportProperties {
    BOOL askClipping;    // ask with 102 every time, else likesClipping holds
    BOOL likesClipping;
    BOOL askRefresh;     // ask with 103 every time, else needsRefresh holds
    BOOL needsRefresh;
};

struct ResizeSupportRefresh {
    RECT oldRect;
    RECT newRect;
    BOOL needsRefresh;
};

class CResizableLayout {
public:
    static constexpr SIZE kTopLeft{0, 0};
    static constexpr SIZE kTopRight{100, 0};
    static constexpr SIZE kBottomLeft{0, 100};
    static constexpr SIZE kBottomRight{100, 100};
    static constexpr SIZE kDefaultAnchor{0, 0};

    struct Anchor {
        HWND hwnd = nullptr;
        SIZE topLeft{};
        SIZE bottomRight{};
        SIZE topLeftMargin{};
        SIZE bottomRightMargin{};
        std::wstring className;
        bool answersResizeSupport = false;
        ResizeSupportProperties properties{};  // cached answers
    };

    CResizableLayout() = default;
    CResizableLayout(const CResizableLayout&) = delete;
    CResizableLayout& operator=(const CResizableLayout&) = delete;

    // Anchors a child of the layout window where it stands now. A child
    // anchored again gets the new anchor.
    void SetChildAnchor(HWND child, SIZE topLeft, SIZE bottomRight);
    // Every direct child without an anchor that is not excluded keeps its
    // place (both corners at the default anchor).
    void AnchorRemainingChildren();
    void ExcludeFromAnchoring(HWND child);
    void RemoveAllAnchors();

    // Moves every anchored child for the current client size.
    void LayoutChildren();

    // Clips the dialog's background erase to the area not covered by
    // children that like clipping, so they are not painted over while the
    // window is resized. Restores the DC's clipping afterwards.
    template <class Erase>
    auto EraseClipped(HDC dc, Erase erase) {
        const SavedClip saved = ClipChildren(dc);
        struct Restore {
            HDC dc;
            const SavedClip& saved;
            ~Restore() { RestoreClip(dc, saved); }
        } restore{dc, saved};
        return erase();
    }

    const std::vector<Anchor>& Anchors() const noexcept { return anchors_; }
    const Anchor* FindAnchor(HWND child) const;

    virtual ~CResizableLayout() = default;

protected:
    // Asks the child's resize properties; false when it does not answer.
    virtual bool QueryResizeProperties(const Anchor& anchor, ResizeSupportProperties& properties) const;
    virtual bool LikesClipping(const Anchor& anchor) const;
    virtual bool NeedsRefresh(const Anchor& anchor, const RECT& oldRect, const RECT& newRect) const;
    // The rectangle the anchors refer to: the layout window's client area.
    virtual RECT GetLayoutClientRect() const;
    // The window whose children are laid out.
    virtual HWND GetResizableWnd() const = 0;

private:
    struct SavedClip {
        HRGN region;
        bool hadRegion;
    };
    SavedClip ClipChildren(HDC dc) const;
    static void RestoreClip(HDC dc, const SavedClip& saved) noexcept;
    RECT ChildRect(HWND child) const;
    RECT AnchoredRect(const Anchor& anchor, const RECT& client) const;

    std::vector<Anchor> anchors_;
    std::unordered_map<HWND, size_t> anchorIndex_;
    std::unordered_set<HWND> excluded_;
};

// The built-in rules for children that do not answer the resize-support
// message, by window class ("Static", "Button", "ListBox", others) and
// style.
namespace ResizeRules {

bool StaticNeedsRefresh(DWORD style, SIZE oldSize, SIZE newSize);
bool StaticLikesClipping(DWORD style);
// A list box that became wider by gain pixels needs a repaint when its
// horizontal scroll range is partly scrolled out of view.
bool ListBoxNeedsRefresh(const SCROLLINFO& horizontal, int gain);

}  // namespace ResizeRules
