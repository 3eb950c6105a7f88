// Registering a window class once per process.
#pragma once

#include <windows.h>

namespace tabulon::ui {

// Registers a class with the button-face background and the arrow cursor, unless
// it is registered already. False when registration fails.
inline bool RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HICON icon = nullptr) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, name, &wc)) return true;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = icon;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace tabulon::ui
