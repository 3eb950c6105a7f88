// A scripted window system for the CAD dialogue: windows are plain records in a
// Z-order list, messages are logged, and Sleep only advances a fake clock (and
// lets a test script what changes while the program waits).
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/window_system.h"

namespace tabulon::test {

class FakeWindowSystem : public WindowSystem {
public:
    struct Window {
        std::u16string className;
        std::u16string title;
        std::u16string text;                         // what WM_GETTEXT answers
        std::optional<std::int64_t> reportedLength;  // WM_GETTEXTLENGTH, when not text's length
        std::uint32_t pid = 0;
        WindowHandle parent{};
        std::vector<WindowHandle> children;
        bool alive = true;
        bool visible = true;
        bool enabled = true;
    };

    enum class Kind { Char, CopyData, PostNull, Foreground };
    struct Message {
        Kind kind;
        WindowHandle to;
        std::u16string text;  // the character, or the copy-data text without its zero
        std::uintptr_t dwData = 0;
        size_t bytes = 0;
        bool zeroTerminated = false;
    };

    // --- building the desktop ---------------------------------------------------
    // A new top-level window goes to the bottom of the Z-order.
    WindowHandle AddTopLevel(std::u16string className, std::u16string title, std::uint32_t pid) {
        const WindowHandle h = NewWindow(std::move(className), std::move(title), pid, kNoWindow);
        zOrder_.push_back(h);
        return h;
    }
    // A child goes after its parent's existing children and belongs to its process.
    WindowHandle AddChild(WindowHandle parent, std::u16string className = u"", std::u16string title = u"") {
        const WindowHandle h = NewWindow(std::move(className), std::move(title), At(parent).pid, parent);
        At(parent).children.push_back(h);
        return h;
    }
    void RaiseToTop(WindowHandle h) {
        std::erase(zOrder_, h);
        zOrder_.insert(zOrder_.begin(), h);
    }
    void Close(WindowHandle h) {
        Window& w = At(h);
        w.alive = false;
        for (WindowHandle child : w.children) Close(child);
    }
    Window& At(WindowHandle h) {
        auto it = windows_.find(h);
        if (it == windows_.end()) throw std::logic_error("no such fake window");
        return it->second;
    }
    void SetText(WindowHandle h, std::u16string text) { At(h).text = std::move(text); }

    // --- what the program did -------------------------------------------------------
    std::vector<Message> messages;
    std::uint64_t now = 0;
    int sleeps = 0;
    int pumps = 0;
    int getTextCalls = 0;

    // Runs after each Sleep has advanced the clock.
    std::function<void()> onSleep;
    // Runs when a window receives WM_COPYDATA, with the text without its zero.
    std::function<void(WindowHandle, const std::u16string&)> onCopyData;

    // Everything typed into a window with WM_CHAR, in order.
    std::u16string TypedInto(WindowHandle h) const {
        std::u16string typed;
        for (const Message& m : messages) {
            if (m.kind == Kind::Char && m.to == h) typed += m.text;
        }
        return typed;
    }
    // The texts handed to a window with WM_COPYDATA, in order.
    std::vector<std::u16string> CopyDataTexts(WindowHandle h) const {
        std::vector<std::u16string> texts;
        for (const Message& m : messages) {
            if (m.kind == Kind::CopyData && m.to == h) texts.push_back(m.text);
        }
        return texts;
    }
    size_t Count(Kind kind) const {
        size_t n = 0;
        for (const Message& m : messages) n += m.kind == kind;
        return n;
    }

    // --- WindowSystem ---------------------------------------------------------------
    WindowHandle FindTopLevel(std::optional<std::u16string_view> className,
                              std::optional<std::u16string_view> title) override {
        for (WindowHandle h : zOrder_) {
            if (Matches(h, className, title)) return h;
        }
        return kNoWindow;
    }
    WindowHandle FindChild(WindowHandle parent, std::optional<std::u16string_view> className,
                           std::optional<std::u16string_view> title) override {
        if (!IsWindow(parent)) return kNoWindow;
        for (WindowHandle h : At(parent).children) {
            if (Matches(h, className, title)) return h;
        }
        return kNoWindow;
    }
    std::vector<WindowHandle> TopLevelWindows() override {
        std::vector<WindowHandle> alive;
        for (WindowHandle h : zOrder_) {
            if (IsWindow(h)) alive.push_back(h);
        }
        return alive;
    }
    std::u16string ClassName(WindowHandle h) override { return IsWindow(h) ? At(h).className : u""; }
    std::u16string WindowTitle(WindowHandle h) override { return IsWindow(h) ? At(h).title : u""; }
    std::uint32_t ProcessId(WindowHandle h) override { return IsWindow(h) ? At(h).pid : 0; }
    WindowHandle FirstChild(WindowHandle h) override {
        if (!IsWindow(h)) return kNoWindow;
        for (WindowHandle child : At(h).children) {
            if (IsWindow(child)) return child;
        }
        return kNoWindow;
    }
    WindowHandle NextSibling(WindowHandle h) override {
        if (!IsWindow(h)) return kNoWindow;
        const WindowHandle parent = At(h).parent;
        const std::vector<WindowHandle>& siblings = parent == kNoWindow ? zOrder_ : At(parent).children;
        bool passed = false;
        for (WindowHandle s : siblings) {
            if (passed && IsWindow(s)) return s;
            if (s == h) passed = true;
        }
        return kNoWindow;
    }
    bool IsWindow(WindowHandle h) override {
        auto it = windows_.find(h);
        return it != windows_.end() && it->second.alive;
    }
    bool IsVisible(WindowHandle h) override { return IsWindow(h) && At(h).visible; }
    bool IsEnabled(WindowHandle h) override { return IsWindow(h) && At(h).enabled; }
    void SetForeground(WindowHandle h) override { messages.push_back({Kind::Foreground, h, u""}); }
    void SendChar(WindowHandle h, char16_t code) override {
        messages.push_back({Kind::Char, h, std::u16string(1, code)});
    }
    void SendCopyData(WindowHandle h, std::uintptr_t dwData, std::span<const std::byte> bytes) override {
        std::u16string text(bytes.size() / 2, u'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * 2);
        Message m{Kind::CopyData, h, text, dwData, bytes.size(), false};
        if (!m.text.empty() && m.text.back() == u'\0') {
            m.text.pop_back();
            m.zeroTerminated = true;
        }
        messages.push_back(m);
        if (onCopyData && IsWindow(h)) onCopyData(h, m.text);
    }
    void PostNull(WindowHandle h) override { messages.push_back({Kind::PostNull, h, u""}); }
    std::int64_t GetTextLength(WindowHandle h) override {
        if (!IsWindow(h)) return 0;
        const Window& w = At(h);
        return w.reportedLength ? *w.reportedLength : static_cast<std::int64_t>(w.text.size());
    }
    std::u16string GetText(WindowHandle h, size_t capacity) override {
        ++getTextCalls;
        if (!IsWindow(h) || capacity == 0) return u"";
        return At(h).text.substr(0, capacity - 1);
    }
    void Sleep(std::uint32_t milliseconds) override {
        now += milliseconds;
        ++sleeps;
        if (onSleep) onSleep();
    }
    void PumpMessages() override { ++pumps; }
    std::uint64_t NowMs() override { return now; }

private:
    WindowHandle NewWindow(std::u16string className, std::u16string title, std::uint32_t pid, WindowHandle parent) {
        const WindowHandle h{nextHandle_};
        nextHandle_ += 4;
        Window w;
        w.className = std::move(className);
        w.title = std::move(title);
        w.pid = pid;
        w.parent = parent;
        windows_.emplace(h, std::move(w));
        return h;
    }
    bool Matches(WindowHandle h, std::optional<std::u16string_view> className,
                 std::optional<std::u16string_view> title) {
        return IsWindow(h) && (!className || At(h).className == *className) && (!title || At(h).title == *title);
    }

    std::map<WindowHandle, Window> windows_;
    std::vector<WindowHandle> zOrder_;  // topmost first
    std::uintptr_t nextHandle_ = 0x10010;
};

// An AutoCAD instance as the lookups see it: the main frame and the text window,
// whose prompt and history panes sit three levels down.
struct FakeAcad {
    WindowHandle main{};
    WindowHandle textWindow{};
    WindowHandle promptPane{};
    WindowHandle historyPane{};
};

inline constexpr char16_t kAcadMainClass[] = u"Afx:00400000:8:00010003:00000000:01B30F91";
inline constexpr char16_t kAcadTextClass[] = u"Afx:00400000:b:00010003:00000006:00000000";

inline FakeAcad AddFakeAcad(FakeWindowSystem& desktop, std::uint32_t pid,
                            std::u16string title = u"AutoCAD 2016 - [Drawing1.dwg]") {
    FakeAcad acad;
    acad.main = desktop.AddTopLevel(kAcadMainClass, title, pid);
    acad.textWindow = desktop.AddTopLevel(kAcadTextClass, u"AutoCAD テキスト ウィンドウ - Drawing1.dwg", pid);
    const WindowHandle frame = desktop.AddChild(desktop.AddChild(acad.textWindow));
    acad.promptPane = desktop.AddChild(frame, u"Edit");
    acad.historyPane = desktop.AddChild(frame, u"Edit");
    return acad;
}

}  // namespace tabulon::test
