// A plain top-level window to hold a control under test, and the window messages
// a user's mouse and keyboard would send it.
#pragma once

#include <windows.h>

#include "ui/window.h"

namespace tabulon::ui::test {

inline HWND CreateHostWindow(int width, int height) {
    static const wchar_t kClass[] = L"TabulonTestHost";
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterWindowClassOnce({.name = kClass}, DefWindowProcW);
    HWND hwnd = CreateWindowExW(0, kClass, L"grid test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width, height,
                                nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    return hwnd;
}

inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Sets the thread's key state, which GetKeyState reads, as a held modifier would.
inline void SetModifiers(bool shift, bool ctrl) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_LSHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
}

inline void PressKey(HWND hwnd, UINT vk, bool shift = false, bool ctrl = false) {
    SetModifiers(shift, ctrl);
    SendMessageW(hwnd, WM_KEYDOWN, vk, 1);
    SendMessageW(hwnd, WM_KEYUP, vk, 1 | (1u << 30) | (1u << 31));
    SetModifiers(false, false);
}

inline void TypeChar(HWND hwnd, wchar_t ch) {
    SendMessageW(hwnd, WM_CHAR, ch, 1);
}

inline LPARAM ClientPoint(POINT p) {
    return MAKELPARAM(p.x, p.y);
}

inline void MouseDown(HWND hwnd, POINT p, WPARAM keys = MK_LBUTTON) {
    SendMessageW(hwnd, WM_LBUTTONDOWN, keys, ClientPoint(p));
}
inline void MouseMove(HWND hwnd, POINT p) {
    SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(p));
}
inline void MouseUp(HWND hwnd, POINT p) {
    SendMessageW(hwnd, WM_LBUTTONUP, 0, ClientPoint(p));
}
inline void Click(HWND hwnd, POINT p, WPARAM keys = MK_LBUTTON) {
    MouseDown(hwnd, p, keys);
    MouseUp(hwnd, p);
}

}  // namespace tabulon::ui::test
