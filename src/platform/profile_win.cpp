#include "platform/profile_win.h"

#include <windows.h>

#include <vector>

#include "platform/win_text.h"

namespace tabulon {

std::optional<std::string> ReadProfileValue(const std::string& iniPath, std::string_view section,
                                            std::string_view key) {
    // The API cannot say "missing"; a default no file holds can.
    static const wchar_t kMissing[] = L"\x01\x02missing\x02\x01";
    const std::wstring path = Utf8ToWide(iniPath);
    const std::wstring wideSection = Utf8ToWide(section);
    const std::wstring wideKey = Utf8ToWide(key);
    std::vector<wchar_t> buffer(256);
    for (;;) {
        DWORD n = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), kMissing, buffer.data(),
                                           static_cast<DWORD>(buffer.size()), path.c_str());
        if (n + 1 < buffer.size()) {
            std::wstring value(buffer.data(), n);
            if (value == kMissing) return std::nullopt;
            return WideToUtf8(value);
        }
        buffer.resize(buffer.size() * 4);  // truncated: try again with more room
    }
}

bool WriteProfileValue(const std::string& iniPath, std::string_view section, std::string_view key,
                       std::string_view value) {
    return WritePrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(), Utf8ToWide(value).c_str(),
                                      Utf8ToWide(iniPath).c_str()) != FALSE;
}

}  // namespace tabulon
