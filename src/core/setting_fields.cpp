#include "core/setting_fields.h"

#include <stdexcept>

namespace tabulon {

namespace {

template <class Member>
size_t IndexOf(Member member, Member SettingField::*slot) {
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (kSettingFields[i].*slot == member) return i;
    }
    throw std::logic_error("not a setting");
}

}  // namespace

std::optional<size_t> FindSetting(std::string_view key) {
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (key == kSettingFields[i].key) return i;
    }
    return std::nullopt;
}

size_t SettingIndex(double ScaleSettings::*member) {
    return IndexOf(member, &SettingField::number);
}
size_t SettingIndex(int32_t ScaleSettings::*member) {
    return IndexOf(member, &SettingField::integer);
}
size_t SettingIndex(bool ScaleSettings::*member) {
    return IndexOf(member, &SettingField::flag);
}

void ApplySheetLook(ScaleSettings& settings) {
    settings.fitText = true;
    settings.sheetVAlign = true;
    settings.lineSpacing = 1.3;
    settings.borderStyle = true;
    settings.cellFill = true;
}

void CopySetting(size_t index, const ScaleSettings& from, ScaleSettings& to) {
    const SettingField& f = kSettingFields[index];
    switch (f.kind) {
        case SettingKind::Number: to.*f.number = from.*f.number; break;
        case SettingKind::Integer: to.*f.integer = from.*f.integer; break;
        case SettingKind::Flag: to.*f.flag = from.*f.flag; break;
    }
}

}  // namespace tabulon
