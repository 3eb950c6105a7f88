#include "platform/window_system_win.h"

#include <windows.h>

#include <vector>

namespace tabulon {

namespace {

HWND Hwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}
WindowHandle Handle(HWND hwnd) {
    return WindowHandle{reinterpret_cast<std::uintptr_t>(hwnd)};
}

// Win32 takes zero-terminated texts; nullopt stands for NULL ("any").
class OptionalText {
public:
    explicit OptionalText(std::optional<std::u16string_view> text) {
        if (text) text_.emplace(text->begin(), text->end());
    }
    const wchar_t* get() const { return text_ ? text_->c_str() : nullptr; }

private:
    std::optional<std::wstring> text_;
};

std::u16string ToU16(const wchar_t* text, size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// The lookups read at most 254 characters of a title or class name.
constexpr int kNameBuffer = 255;

}  // namespace

WindowHandle Win32WindowSystem::FindTopLevel(std::optional<std::u16string_view> className,
                                             std::optional<std::u16string_view> title) {
    const OptionalText cls(className), text(title);
    return Handle(FindWindowW(cls.get(), text.get()));
}

WindowHandle Win32WindowSystem::FindChild(WindowHandle parent, std::optional<std::u16string_view> className,
                                          std::optional<std::u16string_view> title) {
    // FindWindowExW with a zero parent would search the desktop's children,
    // that is every top-level window.
    if (parent == kNoWindow) return kNoWindow;
    const OptionalText cls(className), text(title);
    return Handle(FindWindowExW(Hwnd(parent), nullptr, cls.get(), text.get()));
}

std::vector<WindowHandle> Win32WindowSystem::TopLevelWindows() {
    std::vector<WindowHandle> windows;
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<WindowHandle>*>(param)->push_back(Handle(hwnd));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::u16string Win32WindowSystem::ClassName(WindowHandle window) {
    if (!::IsWindow(Hwnd(window))) return {};
    wchar_t name[kNameBuffer] = {};
    const int length = GetClassNameW(Hwnd(window), name, kNameBuffer);
    return ToU16(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::u16string Win32WindowSystem::WindowTitle(WindowHandle window) {
    if (!::IsWindow(Hwnd(window))) return {};
    wchar_t title[kNameBuffer] = {};
    const int length = GetWindowTextW(Hwnd(window), title, kNameBuffer);
    return ToU16(title, length > 0 ? static_cast<size_t>(length) : 0);
}

std::uint32_t Win32WindowSystem::ProcessId(WindowHandle window) {
    DWORD pid = 0;
    if (window != kNoWindow) GetWindowThreadProcessId(Hwnd(window), &pid);
    return pid;
}

WindowHandle Win32WindowSystem::FirstChild(WindowHandle window) {
    return window == kNoWindow ? kNoWindow : Handle(GetWindow(Hwnd(window), GW_CHILD));
}

WindowHandle Win32WindowSystem::NextSibling(WindowHandle window) {
    return window == kNoWindow ? kNoWindow : Handle(GetWindow(Hwnd(window), GW_HWNDNEXT));
}

bool Win32WindowSystem::IsWindow(WindowHandle window) {
    return window != kNoWindow && ::IsWindow(Hwnd(window));
}

bool Win32WindowSystem::IsVisible(WindowHandle window) {
    return window != kNoWindow && IsWindowVisible(Hwnd(window));
}

bool Win32WindowSystem::IsEnabled(WindowHandle window) {
    return window != kNoWindow && IsWindowEnabled(Hwnd(window));
}

void Win32WindowSystem::SetForeground(WindowHandle window) {
    if (window != kNoWindow) SetForegroundWindow(Hwnd(window));
}

void Win32WindowSystem::SendChar(WindowHandle window, char16_t code) {
    if (window != kNoWindow) SendMessageW(Hwnd(window), WM_CHAR, static_cast<WPARAM>(code), 0);
}

void Win32WindowSystem::SendCopyData(WindowHandle window, std::uintptr_t dwData, std::span<const std::byte> bytes) {
    if (window == kNoWindow) return;
    COPYDATASTRUCT record{};
    record.dwData = static_cast<ULONG_PTR>(dwData);
    record.cbData = static_cast<DWORD>(bytes.size());
    record.lpData = const_cast<std::byte*>(bytes.data());
    SendMessageW(Hwnd(window), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
}

void Win32WindowSystem::PostNull(WindowHandle window) {
    if (window != kNoWindow) PostMessageW(Hwnd(window), WM_NULL, 0, 0);
}

std::int64_t Win32WindowSystem::GetTextLength(WindowHandle window) {
    if (window == kNoWindow) return 0;
    return static_cast<std::int64_t>(SendMessageW(Hwnd(window), WM_GETTEXTLENGTH, 0, 0));
}

std::u16string Win32WindowSystem::GetText(WindowHandle window, std::size_t capacity) {
    if (window == kNoWindow || capacity == 0) return {};
    std::vector<wchar_t> buffer(capacity, L'\0');
    const LRESULT copied =
        SendMessageW(Hwnd(window), WM_GETTEXT, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(buffer.data()));
    // Up to the first zero, and never past what was asked for.
    size_t length = 0;
    const size_t limit = copied > 0 ? std::min<size_t>(static_cast<size_t>(copied), capacity - 1) : 0;
    while (length < limit && buffer[length] != L'\0') ++length;
    return ToU16(buffer.data(), length);
}

void Win32WindowSystem::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

void DispatchWaitingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32WindowSystem::PumpMessages() {
    DispatchWaitingMessages();
}

std::uint64_t Win32WindowSystem::NowMs() {
    return GetTickCount64();
}

bool Win32DrawingPathProbe::FileExists(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.c_str()));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string Win32DrawingPathProbe::ShortPath(const std::u16string& path) {
    const wchar_t* longPath = reinterpret_cast<const wchar_t*>(path.c_str());
    const DWORD needed = GetShortPathNameW(longPath, nullptr, 0);
    if (needed == 0) return {};
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    const DWORD length = GetShortPathNameW(longPath, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return {};
    return ToU16(buffer.data(), length);
}

}  // namespace tabulon
