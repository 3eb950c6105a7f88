// Owning wrappers for Win32 handles and scoped GDI state, so that every exit path
// of a paint or message handler gives back what it took.
#pragma once

#include <windows.h>

#include <utility>

namespace tabulon::ui {

// One template for every handle kind: the Closer says how to give it back.
template <typename T, typename Closer>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    T release() { return std::exchange(handle_, nullptr); }
    void reset(T handle = nullptr) {
        T old = std::exchange(handle_, handle);
        if (old) Closer{}(old);
    }

private:
    T handle_ = nullptr;
};

struct GdiObjectCloser {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct MemoryDcCloser {
    void operator()(HDC h) const { DeleteDC(h); }
};
struct WindowCloser {
    void operator()(HWND h) const { DestroyWindow(h); }
};

using UniqueHfont = UniqueHandle<HFONT, GdiObjectCloser>;
using UniqueHbitmap = UniqueHandle<HBITMAP, GdiObjectCloser>;
using UniqueHbrush = UniqueHandle<HBRUSH, GdiObjectCloser>;
using UniqueHpen = UniqueHandle<HPEN, GdiObjectCloser>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcCloser>;  // from CreateCompatibleDC
using UniqueHwnd = UniqueHandle<HWND, WindowCloser>;

// SelectObject that puts the previous object back at the end of the scope.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectObjectScope() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC dc() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// GetDC / ReleaseDC.
class WindowDcScope {
public:
    explicit WindowDcScope(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDcScope() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDcScope(const WindowDcScope&) = delete;
    WindowDcScope& operator=(const WindowDcScope&) = delete;

    HDC dc() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

}  // namespace tabulon::ui
