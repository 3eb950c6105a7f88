// The text of a window or control, whatever its length.
#pragma once

#include <windows.h>

#include <string>

namespace tabulon::ui {

inline std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)), L'\0');
    GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

}  // namespace tabulon::ui
