// Design-pixel placement scaled for the system DPI, and the anchoring that keeps
// controls in place while the main window is resized.
#pragma once

#include <windows.h>

#include <vector>

namespace tabulon::ui {

// The system DPI over 96, read once.
int ScalePx(int designPixels);
RECT ScaleRect(int left, int top, int width, int height);

enum Anchor : unsigned {
    kAnchorLeftTop = 0,
    kAnchorRight = 1,   // keeps its distance from the parent's right edge
    kStretchX = 2,      // the right edge follows the parent's right edge
    kStretchY = 4,      // the bottom edge follows the parent's bottom edge
    kAnchorBottom = 8,  // keeps its distance from the parent's bottom edge
};

// Remembers each control's margins to its parent's edges as they are when added,
// and restores them whenever Apply runs.
class Layout {
public:
    void Add(HWND control, unsigned anchors);
    void Apply() const;

private:
    struct Item {
        HWND control;
        HWND parent;
        unsigned anchors;
        RECT rect;  // in the parent's client coordinates
        SIZE parentSize;
    };
    std::vector<Item> items_;
};

}  // namespace tabulon::ui
