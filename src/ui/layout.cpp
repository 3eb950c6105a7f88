#include "ui/layout.h"

#include "platform/win_resource.h"

namespace tabulon::ui {

namespace {

int SystemDpi() {
    static const int dpi = [] {
        const WindowDcScope screen(nullptr);
        const int value = screen.dc() ? GetDeviceCaps(screen.dc(), LOGPIXELSY) : 96;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

SIZE ClientSize(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

int ScalePx(int designPixels) {
    return MulDiv(designPixels, SystemDpi(), 96);
}

RECT ScaleRect(int left, int top, int width, int height) {
    const int l = ScalePx(left), t = ScalePx(top);
    return {l, t, l + ScalePx(width), t + ScalePx(height)};
}

void Layout::Add(HWND control, unsigned anchors) {
    if (!control) return;
    Item item{control, GetParent(control), anchors, {}, {}};
    GetWindowRect(control, &item.rect);
    MapWindowPoints(HWND_DESKTOP, item.parent, reinterpret_cast<POINT*>(&item.rect), 2);
    item.parentSize = ClientSize(item.parent);
    items_.push_back(item);
}

void Layout::Apply() const {
    for (const Item& item : items_) {
        const SIZE now = ClientSize(item.parent);
        const int dx = now.cx - item.parentSize.cx, dy = now.cy - item.parentSize.cy;
        RECT r = item.rect;
        if (item.anchors & kAnchorRight) OffsetRect(&r, dx, 0);
        if (item.anchors & kStretchX) r.right += dx;
        if (item.anchors & kAnchorBottom) OffsetRect(&r, 0, dy);
        if (item.anchors & kStretchY) r.bottom += dy;
        if (r.right < r.left) r.right = r.left;
        if (r.bottom < r.top) r.bottom = r.top;
        MoveWindow(item.control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

}  // namespace tabulon::ui
