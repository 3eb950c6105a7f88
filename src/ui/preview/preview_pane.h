// The "プレビュー" tab's pane: the drawing painted with GDI, fitted to the pane
// with its aspect ratio kept, zoomed about the cursor by the wheel and panned by
// dragging. The entities come from the same DrawTable call the DXF file is
// written with; the pane asks for them again, on its next paint, once told
// that the drawing changed.
#pragma once

#include <windows.h>

#include <functional>

#include "core/drawing_sink.h"
#include "platform/win_resource.h"
#include "ui/preview/gdi_drawing.h"
#include "ui/window.h"

namespace tabulon::ui {

// Draws the current drawing into the sink; false when there is none.
using PreviewSource = std::function<bool(DrawingSink&)>;

struct PreviewCreateArgs {
    HWND parent = nullptr;
    RECT rect{};  // in the parent's client area
    int id = 0;
    PreviewSource source;
};

class PreviewPane : public Window {
public:
    bool Create(PreviewCreateArgs args);

    // The drawing changed: it is built again before the next paint, and fitted
    // again when its size changed.
    void DrawingChanged();
    // Back to the whole drawing fitted to the pane.
    void Fit();
    // Zooms by factor about the client point (x, y), which stays over the same
    // drawing point.
    void ZoomAt(int x, int y, double factor);
    // Moves the drawing by (dx, dy) pixels.
    void Pan(int dx, int dy);

    // Paints the pane's whole client area into hdc, as WM_PAINT does; returns
    // how many entities were painted.
    size_t Render(HDC hdc);
    const GdiDrawing& Drawing();
    PreviewTransform Transform() const;

private:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Rebuild();
    void OnPaint();

    PreviewSource source_;
    GdiDrawing drawing_;
    bool stale_ = true;
    // The view: zoom over the fitted scale, and the drawing point at the centre.
    double zoom_ = 1;
    double centreX_ = 0, centreY_ = 0;
    bool dragging_ = false;
    POINT dragFrom_{};
    // The back buffer, kept while the pane keeps its size.
    // (the bitmap first, so that it outlives the DC it is selected into).
    UniqueHbitmap bufferBitmap_;
    UniqueMemoryDc buffer_;
    SIZE bufferSize_{};
};

}  // namespace tabulon::ui
