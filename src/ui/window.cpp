#include "ui/window.h"

#include <cwchar>
#include <utility>

namespace tabulon::ui {

bool RegisterWindowClassOnce(const WindowClassArgs& args, WNDPROC proc) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, args.name, &wc)) return true;
    wc.style = args.style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = args.background;
    wc.hIcon = args.icon;
    wc.lpszClassName = args.name;
    return RegisterClassExW(&wc) != 0;
}

Window::~Window() {
    if (!hwnd) return;
    // The derived part is gone: the window's last messages must not reach it.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(hwnd, nullptr));
}

bool Window::CreateWindowOf(const WindowClassArgs& windowClass, const WindowCreateArgs& args) {
    if (!RegisterWindowClassOnce(windowClass, Procedure)) return false;
    const RECT& r = args.rect;
    const HMENU menu = (args.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)) : nullptr;
    // WM_NCCREATE sets hwnd.
    CreateWindowExW(args.exStyle, windowClass.name, args.title, args.style, r.left, r.top, r.right - r.left,
                    r.bottom - r.top, args.parent, menu, GetModuleHandleW(nullptr), this);
    return hwnd != nullptr;
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after the owner left.
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd = nullptr;
        self->OnDestroyed();
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    return self->WndProc(msg, wp, lp);
}

HWND AddControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, const RECT& rect, int id,
                HFONT font) {
    const DWORD exStyle = wcscmp(cls, L"EDIT") == 0 ? WS_EX_CLIENTEDGE : 0;
    HWND control =
        CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

}  // namespace tabulon::ui
