// Ownership of Win32 handles and scoped GDI state, in the manner of the Windows
// Implementation Libraries: one template for every handle kind, told how to give
// the handle back and which value holds none, so that every way out of a routine
// gives back what it took.
#pragma once

#include <windows.h>

#include <utility>

namespace tabulon {

// "No handle" for most kinds; files and a few others use INVALID_HANDLE_VALUE.
template <typename T>
constexpr T NullHandleValue() noexcept {
    return nullptr;
}
inline HANDLE InvalidHandleValue() noexcept {
    return INVALID_HANDLE_VALUE;
}

// Owns one handle of type T and gives it to Close when it goes. Close is any
// function taking the handle (CloseHandle, DeleteObject, LocalFree ...); None
// returns the value that means "no handle", which is never closed.
template <typename T, auto Close, T (*None)() = NullHandleValue<T>>
class UniqueHandle {
public:
    UniqueHandle() noexcept : handle_(None()) {}
    explicit UniqueHandle(T handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != None(); }
    // Hands the handle over without closing it.
    T release() noexcept { return std::exchange(handle_, None()); }
    void reset(T handle = None()) noexcept {
        const T old = std::exchange(handle_, handle);
        if (old != None()) Close(old);
    }
    // Closes what is held and gives the slot to a function that returns a new
    // handle through a pointer (FormatMessageW's buffer, say).
    T* put() noexcept {
        reset();
        return &handle_;
    }

private:
    T handle_;
};

// Kernel objects: files (and other objects CreateFileW opens) hold
// INVALID_HANDLE_VALUE for none, processes, threads and events nullptr.
using UniqueFile = UniqueHandle<HANDLE, &::CloseHandle, InvalidHandleValue>;
using UniqueKernelHandle = UniqueHandle<HANDLE, &::CloseHandle>;
// A buffer the system allocated with LocalAlloc for us (FormatMessageW).
using UniqueLocalText = UniqueHandle<wchar_t*, &::LocalFree>;

// Window manager and GDI.
using UniqueHwnd = UniqueHandle<HWND, &::DestroyWindow>;
using UniqueHmenu = UniqueHandle<HMENU, &::DestroyMenu>;
using UniqueHfont = UniqueHandle<HFONT, &::DeleteObject>;
using UniqueHbitmap = UniqueHandle<HBITMAP, &::DeleteObject>;
using UniqueHbrush = UniqueHandle<HBRUSH, &::DeleteObject>;
using UniqueHpen = UniqueHandle<HPEN, &::DeleteObject>;
using UniqueMemoryDc = UniqueHandle<HDC, &::DeleteDC>;  // from CreateCompatibleDC

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

// GetDC / ReleaseDC; a null window gives the screen's DC.
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

}  // namespace tabulon
