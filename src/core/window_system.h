// The few window-system services the CAD dialogue needs: finding and walking
// other processes' windows, sending them messages, and waiting. The Win32
// adapter implements it over the real API; the tests script a fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// An HWND as an opaque number; WindowHandle{} is "no window".
enum class WindowHandle : std::uintptr_t {};
inline constexpr WindowHandle kNoWindow{};

// Texts are UTF-16, as the windows hold them. Every query on kNoWindow or on a
// window that has closed answers "nothing": empty text, 0, false, kNoWindow.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // FindWindowW: the first top-level window in Z-order with that class and
    // title; nullopt matches any.
    virtual WindowHandle FindTopLevel(std::optional<std::u16string_view> className,
                                      std::optional<std::u16string_view> title) = 0;
    // FindWindowExW(parent, NULL, class, title): the first direct child of parent.
    // A zero parent has no children (never the desktop's).
    virtual WindowHandle FindChild(WindowHandle parent, std::optional<std::u16string_view> className,
                                   std::optional<std::u16string_view> title) = 0;
    // EnumWindows: all top-level windows, visible or not, topmost first.
    virtual std::vector<WindowHandle> TopLevelWindows() = 0;

    virtual std::u16string ClassName(WindowHandle window) = 0;    // GetClassNameW
    virtual std::u16string WindowTitle(WindowHandle window) = 0;  // GetWindowTextW
    virtual std::uint32_t ProcessId(WindowHandle window) = 0;     // GetWindowThreadProcessId
    virtual WindowHandle FirstChild(WindowHandle window) = 0;     // GetWindow(GW_CHILD)
    virtual WindowHandle NextSibling(WindowHandle window) = 0;    // GetWindow(GW_HWNDNEXT)

    virtual bool IsWindow(WindowHandle window) = 0;
    virtual bool IsVisible(WindowHandle window) = 0;
    virtual bool IsEnabled(WindowHandle window) = 0;
    virtual void SetForeground(WindowHandle window) = 0;

    // SendMessageW(WM_CHAR, code, 0); returns once the window has handled it.
    virtual void SendChar(WindowHandle window, char16_t code) = 0;
    // SendMessageW(WM_COPYDATA, 0, COPYDATASTRUCT{dwData, bytes}).
    virtual void SendCopyData(WindowHandle window, std::uintptr_t dwData, std::span<const std::byte> bytes) = 0;
    // PostMessageW(WM_NULL, 0, 0).
    virtual void PostNull(WindowHandle window) = 0;
    // SendMessageW(WM_GETTEXTLENGTH).
    virtual std::int64_t GetTextLength(WindowHandle window) = 0;
    // SendMessageW(WM_GETTEXT) into a buffer of `capacity` code values, the
    // terminating zero included: what the window copied, without that zero.
    virtual std::u16string GetText(WindowHandle window, std::size_t capacity) = 0;

    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Handles this program's own pending messages, so its window stays alive
    // while it waits for the CAD application.
    virtual void PumpMessages() = 0;
    // A monotonic clock in milliseconds, for callers that time the dialogue.
    virtual std::uint64_t NowMs() = 0;
};

}  // namespace tabulon
