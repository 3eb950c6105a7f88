#include "ui/preview/preview_pane.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace tabulon::ui {

namespace {

constexpr wchar_t kPreviewClass[] = L"TabulonPreview";
constexpr int kMargin = 8;  // pixels round the fitted drawing
constexpr double kMinZoom = 0.25, kMaxZoom = 1000;

}  // namespace

bool PreviewPane::Create(PreviewCreateArgs args) {
    source_ = std::move(args.source);
    WindowCreateArgs window;
    window.style = WS_CHILD | WS_VISIBLE;
    window.rect = args.rect;
    window.parent = args.parent;
    window.id = args.id;
    return CreateWindowOf({.name = kPreviewClass, .style = CS_DBLCLKS, .background = nullptr}, window);
}

void PreviewPane::DrawingChanged() {
    stale_ = true;
    if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
}

const GdiDrawing& PreviewPane::Drawing() {
    if (stale_) Rebuild();
    return drawing_;
}

void PreviewPane::Rebuild() {
    stale_ = false;
    const double oldW = drawing_.Width(), oldH = drawing_.Height();
    RecordedDrawing recorded;
    if (source_ && source_(recorded)) {
        drawing_.Build(recorded);
    } else {
        drawing_.Clear();
    }
    // Another table: show the whole of it; the same table redrawn keeps the view.
    if (drawing_.Width() != oldW || drawing_.Height() != oldH) Fit();
}

void PreviewPane::Fit() {
    zoom_ = 1;
    centreX_ = drawing_.Width() / 2;
    centreY_ = -drawing_.Height() / 2;
    if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
}

PreviewTransform PreviewPane::Transform() const {
    RECT client{};
    if (hwnd) GetClientRect(hwnd, &client);
    const double w = std::max<LONG>(client.right - 2 * kMargin, 1), h = std::max<LONG>(client.bottom - 2 * kMargin, 1);
    const double dw = std::fabs(drawing_.Width()), dh = std::fabs(drawing_.Height());
    double fitted = 1;
    if (dw > 0 && dh > 0) {
        fitted = std::min(w / dw, h / dh);
    } else if (dw > 0 || dh > 0) {
        fitted = dw > 0 ? w / dw : h / dh;
    }
    PreviewTransform t;
    t.scale = fitted * zoom_;
    t.originX = client.right / 2.0 - t.scale * centreX_;
    t.originY = client.bottom / 2.0 + t.scale * centreY_;
    return t;
}

void PreviewPane::ZoomAt(int x, int y, double factor) {
    const PreviewTransform before = Transform();
    const double px = (x - before.originX) / before.scale, py = (before.originY - y) / before.scale;
    zoom_ = std::clamp(zoom_ * factor, kMinZoom, kMaxZoom);
    const PreviewTransform after = Transform();
    // The point under the cursor stays there.
    centreX_ += px - (x - after.originX) / after.scale;
    centreY_ += py - (after.originY - y) / after.scale;
    InvalidateRect(hwnd, nullptr, FALSE);
}

void PreviewPane::Pan(int dx, int dy) {
    const double scale = Transform().scale;
    centreX_ -= dx / scale;
    centreY_ += dy / scale;
    InvalidateRect(hwnd, nullptr, FALSE);
}

size_t PreviewPane::Render(HDC hdc) {
    if (stale_) Rebuild();
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return drawing_.Paint(hdc, Transform(), client);
}

void PreviewPane::OnPaint() {
    const PaintScope paint(hwnd);
    HDC hdc = paint.dc();
    RECT client{};
    GetClientRect(hwnd, &client);
    // Painted off screen and copied in one go, so nothing flickers.
    if (!buffer_ || bufferSize_.cx != client.right || bufferSize_.cy != client.bottom) {
        buffer_.reset();
        bufferBitmap_.reset(CreateCompatibleBitmap(hdc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
        buffer_.reset(CreateCompatibleDC(hdc));
        if (buffer_ && bufferBitmap_) SelectObject(buffer_.get(), bufferBitmap_.get());
        bufferSize_ = {client.right, client.bottom};
    }
    if (buffer_ && bufferBitmap_) {
        Render(buffer_.get());
        BitBlt(hdc, 0, 0, client.right, client.bottom, buffer_.get(), 0, 0, SRCCOPY);
    } else {
        Render(hdc);
    }
}

LRESULT PreviewPane::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: OnPaint(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SIZE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
        case WM_MOUSEWHEEL: {
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ScreenToClient(hwnd, &p);
            ZoomAt(p.x, p.y, std::pow(1.2, GET_WHEEL_DELTA_WPARAM(wp) / static_cast<double>(WHEEL_DELTA)));
            return 0;
        }
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            SetCapture(hwnd);
            dragging_ = true;
            dragFrom_ = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            return 0;
        case WM_MOUSEMOVE:
            if (dragging_) {
                const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                Pan(p.x - dragFrom_.x, p.y - dragFrom_.y);
                dragFrom_ = p;
            }
            return 0;
        case WM_LBUTTONUP:
            if (dragging_) ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED: dragging_ = false; return 0;
        case WM_LBUTTONDBLCLK: Fit(); return 0;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace tabulon::ui
