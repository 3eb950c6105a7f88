// The CAD dialogue's window system on Win32: the real FindWindowW, EnumWindows,
// SendMessageW and friends, and the saved drawing's path questions.
#pragma once

#include "core/cad_commands.h"
#include "core/window_system.h"

namespace tabulon {

class Win32WindowSystem final : public WindowSystem {
public:
    WindowHandle FindTopLevel(std::optional<std::u16string_view> className,
                              std::optional<std::u16string_view> title) override;
    WindowHandle FindChild(WindowHandle parent, std::optional<std::u16string_view> className,
                           std::optional<std::u16string_view> title) override;
    std::vector<WindowHandle> TopLevelWindows() override;

    std::u16string ClassName(WindowHandle window) override;
    std::u16string WindowTitle(WindowHandle window) override;
    std::uint32_t ProcessId(WindowHandle window) override;
    WindowHandle FirstChild(WindowHandle window) override;
    WindowHandle NextSibling(WindowHandle window) override;

    bool IsWindow(WindowHandle window) override;
    bool IsVisible(WindowHandle window) override;
    bool IsEnabled(WindowHandle window) override;
    void SetForeground(WindowHandle window) override;

    void SendChar(WindowHandle window, char16_t code) override;
    void SendCopyData(WindowHandle window, std::uintptr_t dwData, std::span<const std::byte> bytes) override;
    void PostNull(WindowHandle window) override;
    std::int64_t GetTextLength(WindowHandle window) override;
    std::u16string GetText(WindowHandle window, std::size_t capacity) override;

    void Sleep(std::uint32_t milliseconds) override;
    // Dispatches this thread's waiting messages (as Application.ProcessMessages).
    void PumpMessages() override;
    std::uint64_t NowMs() override;
};

// Dispatches the calling thread's waiting messages and returns. A WM_QUIT is
// posted again for the main loop, which ends the program.
void DispatchWaitingMessages();

// GetFileAttributesW and GetShortPathNameW.
class Win32DrawingPathProbe final : public DrawingPathProbe {
public:
    bool FileExists(const std::u16string& path) override;
    std::u16string ShortPath(const std::u16string& path) override;
};

}  // namespace tabulon
