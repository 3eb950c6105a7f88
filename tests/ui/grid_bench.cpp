// Timings of the grid with a large table under Wine: filling it, repainting the
// view (into a memory DC and through the window) and scrolling by a page. The
// texts live outside the grid, in UTF-8, as the application's working texts do,
// and reach it through its text callback. Prints figures only; it never judges them.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/table_dxf.h"
#include "platform/platform_services.h"
#include "platform/win_text.h"
#include "support/table_builder.h"
#include "ui/grid/grid.h"
#include "ui/preview/preview_pane.h"
#include "ui/test_window.h"

using namespace tabulon::ui;
using Clock = std::chrono::steady_clock;

namespace {

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename F>
double AverageMs(int times, F&& f) {
    auto start = Clock::now();
    for (int i = 0; i < times; ++i) f(i);
    return MsSince(start) / times;
}

// The preview pane with a 2000 x 50 table, every cell bordered and holding a
// text: building the entity list, a full redraw with the whole drawing in view,
// and redraws zoomed in, where only the visible entities are painted.
void PreviewBench(HWND host) {
    constexpr int kRows = 2000, kCols = 50;
    tabulon::test::TestTable t(kRows, kCols);
    for (int r = 1; r <= kRows; ++r) {
        for (int c = 1; c <= kCols; ++c) {
            t.table.At(r, c).lineBits = tabulon::kEdgeTop | tabulon::kEdgeBottom | tabulon::kEdgeLeft | tabulon::kEdgeRight;
            t.Text(r, c, "\u6a5f\u5668" + std::to_string(r) + "-" + std::to_string(c));
        }
    }
    t.Compute();
    RECT client;
    GetClientRect(host, &client);
    PreviewPane pane;
    PreviewCreateArgs args;
    args.parent = host;
    args.rect = client;
    args.source = [&t](tabulon::DrawingSink& sink) { return tabulon::DrawTable(t.table, t.texts, t.settings, sink); };
    if (!pane.Create(std::move(args))) {
        std::printf("preview bench: could not create the pane\n");
        return;
    }
    const double buildMs = AverageMs(3, [&](int) {
        pane.DrawingChanged();
        pane.Drawing();
    });
    HDC windowDc = GetDC(pane.hwnd);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    size_t painted = pane.Render(memory);  // warm-up
    const double fullMs = AverageMs(5, [&](int) { painted = pane.Render(memory); });
    pane.ZoomAt(client.right / 2, client.bottom / 2, 40);
    size_t zoomedPainted = pane.Render(memory);
    const double zoomedMs = AverageMs(20, [&](int) { zoomedPainted = pane.Render(memory); });
    const double dragMs = AverageMs(20, [&](int i) {
        pane.Pan(i % 2 ? 37 : -37, 11);
        pane.Render(memory);
    });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(pane.hwnd, windowDc);
    std::printf("preview bench: %d rows x %d columns, %zu entities, view %ldx%ld px\n", kRows, kCols,
                pane.Drawing().EntityCount(), client.right, client.bottom);
    std::printf("  build the entity list        %8.1f ms\n", buildMs);
    std::printf("  full redraw, all in view     %8.1f ms (%zu entities painted)\n", fullMs, painted);
    std::printf("  redraw zoomed in x40         %8.2f ms (%zu entities painted)\n", zoomedMs, zoomedPainted);
    std::printf("  drag + redraw zoomed in      %8.2f ms\n", dragMs);
}

}  // namespace

int main() {
    tabulon::UsePlatformServices();
    constexpr int kRows = 10000;
    constexpr int kCols = 30;
    HWND host = test::CreateHostWindow(1024, 768);
    RECT client;
    GetClientRect(host, &client);
    Grid grid;
    GridCreateArgs args;
    args.parent = host;
    args.rect = client;
    args.colCount = kCols + 1;
    args.rowCount = kRows + 1;
    if (!host || !grid.Create(args)) {
        std::printf("grid bench: could not create the window\n");
        return 1;
    }
    test::PumpMessages();

    constexpr int kWidth = kCols + 1;
    std::vector<std::string> texts;
    grid.cellText = [&texts](int col, int row, std::wstring& text) {
        tabulon::Utf8ToWide(texts[static_cast<size_t>(row) * kWidth + col], text);
    };
    auto start = Clock::now();
    texts.resize(static_cast<size_t>(kRows + 1) * kWidth);
    for (int r = 1; r <= kRows; ++r) {
        texts[static_cast<size_t>(r) * kWidth] = std::to_string(r);
        for (int c = 1; c <= kCols; ++c)
            texts[static_cast<size_t>(r) * kWidth + c] = "\u6a5f\u5668" + std::to_string(r) + "-" + std::to_string(c);
    }
    for (int c = 1; c <= kCols; ++c) texts[c] = "\u5217" + std::to_string(c);
    InvalidateRect(grid.hwnd, nullptr, FALSE);
    const double fillMs = MsSince(start);
    test::PumpMessages();

    RECT area;
    GetClientRect(grid.hwnd, &area);
    HDC windowDc = GetDC(grid.hwnd);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, area.right, area.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    grid.Paint(memory, area);  // warm-up: fonts and glyph caches
    const double memoryMs = AverageMs(20, [&](int) { grid.Paint(memory, area); });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(grid.hwnd, windowDc);

    const double windowMs =
        AverageMs(20, [&](int) { RedrawWindow(grid.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); });

    const double pageMs = AverageMs(50, [&](int) {
        SendMessageW(grid.hwnd, WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(grid.hwnd);
    });
    const double thumbMs = AverageMs(50, [&](int i) {
        SendMessageW(grid.hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, (i * 197) % (kRows - 40)), 0);
        UpdateWindow(grid.hwnd);
    });

    const GridAxis& cols = grid.Geometry().cols;
    const GridAxis& rows = grid.Geometry().rows;
    std::printf("grid bench: %d rows x %d columns, view %ldx%ld px, %d x %d cells in view\n", kRows, kCols, area.right,
                area.bottom, cols.LastVisible() - cols.first() + 2, rows.LastVisible() - rows.first() + 2);
    std::printf("  fill the texts               %8.1f ms\n", fillMs);
    std::printf("  repaint into a memory DC     %8.2f ms\n", memoryMs);
    std::printf("  RedrawWindow + UpdateWindow  %8.2f ms\n", windowMs);
    std::printf("  page down + repaint          %8.2f ms\n", pageMs);
    std::printf("  thumb track + repaint        %8.2f ms\n", thumbMs);
    PreviewBench(host);
    DestroyWindow(host);
    return 0;
}
