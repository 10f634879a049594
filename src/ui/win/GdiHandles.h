#pragma once
// Owners of the user-interface handles: GDI objects (fonts, regions),
// accelerator tables and menus. Each releases its handle when destroyed; a
// failing release is dropped.

#include "platform/UniqueHandle.h"

#include <windows.h>

namespace WindowsPlatform {

template <class GdiHandle>
struct GdiObjectTraits {
    using Handle = GdiHandle;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DeleteObject(h); }
};

struct AcceleratorTableTraits {
    using Handle = HACCEL;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DestroyAcceleratorTable(h); }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DestroyMenu(h); }
};

using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniqueAcceleratorTable = UniqueHandle<AcceleratorTableTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;

}  // namespace WindowsPlatform
