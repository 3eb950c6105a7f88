// Timings of the grid with a large table under Wine: filling it, repainting the
// view (into a memory DC and through the window) and scrolling by a page. The
// texts live outside the grid, in UTF-8, as the application's working texts do,
// and reach it through its text callback. Prints figures only; it never judges them.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win_text.h"
#include "ui/grid/grid.h"
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

}  // namespace

int main() {
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
    DestroyWindow(host);
    return 0;
}
