// What every window of the program shares: one window procedure that hands each
// message to the object owning the HWND, the class registration, the child
// controls the windows create, and the subclassing of controls.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

namespace tabulon::ui {

struct WindowClassArgs {
    const wchar_t* name = nullptr;
    UINT style = 0;
    // nullptr: the window paints all of itself.
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    HICON icon = nullptr;
};

// Registers a class with the arrow cursor, unless it is registered already.
// False when registration fails.
bool RegisterWindowClassOnce(const WindowClassArgs& args, WNDPROC proc);

struct WindowCreateArgs {
    DWORD exStyle = 0;
    const wchar_t* title = L"";
    DWORD style = 0;
    // In the parent's client area for a child window, on the screen otherwise.
    RECT rect{};
    HWND parent = nullptr;  // the owner, for a window that is not a child
    int id = 0;             // a child window's control id
};

// A window owned by an object. The object receives every message from
// WM_NCCREATE on through WndProc. When the window is destroyed from outside
// (with its parent or owner, say), hwnd becomes null and OnDestroyed runs; when
// the object goes first, it destroys the window without hearing of it.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd = nullptr;

protected:
    // Registers the class once per process, with the shared window procedure,
    // and creates the window for this object. False when either fails.
    bool CreateWindowOf(const WindowClassArgs& windowClass, const WindowCreateArgs& args);
    // Unhandled messages go to DefWindowProcW.
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    // The window has received its last message; hwnd is already null.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

// A visible child control in the parent's client area, with the given font.
// Edits get the sunken client edge.
HWND AddControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, const RECT& rect, int id,
                HFONT font);

// --- controls whose messages an object sees first ---------------------------------------

template <typename T>
struct MemberOwner;
template <typename C, typename R, typename... A>
struct MemberOwner<R (C::*)(A...)> {
    using Type = C;
};

// Handler is a member LRESULT (HWND, UINT, WPARAM, LPARAM) that ends with
// DefSubclassProc for what it leaves to the control.
template <auto Handler>
LRESULT CALLBACK SubclassProcedure(HWND control, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR owner) {
    using Owner = typename MemberOwner<decltype(Handler)>::Type;
    // The subclass goes with the control; its last message still reaches the handler.
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(control, SubclassProcedure<Handler>, id);
    return (reinterpret_cast<Owner*>(owner)->*Handler)(control, msg, wp, lp);
}

template <auto Handler>
void SubclassControl(HWND control, typename MemberOwner<decltype(Handler)>::Type* owner) {
    SetWindowSubclass(control, SubclassProcedure<Handler>, 1, reinterpret_cast<DWORD_PTR>(owner));
}

// For an owner that goes before its control.
template <auto Handler>
void RemoveControlSubclass(HWND control) {
    RemoveWindowSubclass(control, SubclassProcedure<Handler>, 1);
}

}  // namespace tabulon::ui
