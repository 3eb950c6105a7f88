// UTF-8 <-> UTF-16 at the Windows API boundary, and the system's error texts.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tabulon {

std::wstring Utf8ToWide(std::string_view utf8);
// The same into `wide`, whose storage is reused: for texts converted on every paint.
void Utf8ToWide(std::string_view utf8, std::wstring& wide);
std::string WideToUtf8(std::wstring_view wide);
// FormatMessageW's text for a Win32 error code, without the trailing line break.
std::string SystemErrorText(DWORD error);

}  // namespace tabulon
