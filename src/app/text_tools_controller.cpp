#include "app/text_tools_controller.h"

#include <algorithm>

#include "core/number_format.h"
#include "core/str_conv.h"
#include "core/width_conversion.h"

namespace tabulon {

void TextToolsController::ConvertSelection(const std::function<std::string(const std::string&)>& convert) {
    GridTexts& texts = model_.texts;
    const GridRect sel = view_.GridSelection();
    // The header row and column are never part of the selection.
    for (int32_t r = std::max(sel.top, 1); r <= std::min(sel.bottom, texts.RowCount() - 1); ++r) {
        for (int32_t c = std::max(sel.left, 1); c <= std::min(sel.right, texts.ColCount() - 1); ++c) {
            const std::string& text = texts.Get(c, r);
            if (text.empty()) continue;
            texts.Set(c, r, convert(text));
        }
    }
    view_.RepaintGrid();
    view_.DrawingChanged();
}

void TextToolsController::N1Click() {
    ConvertSelection(ToFullWidth);
}

void TextToolsController::N12Click() {
    ConvertSelection(
        [](const std::string& t) { return IsNumericText(t) || IsAsciiLetterText(t) ? t : ToFullWidth(t); });
}

void TextToolsController::N5Click() {
    ConvertSelection(HalfKanaToFull);
}

void TextToolsController::N2Click() {
    ConvertSelection(ToHalfWidth);
}

void TextToolsController::N6Click() {
    ConvertSelection(FullDigitsToHalf);
}

void TextToolsController::N7Click() {
    ConvertSelection(FullLettersToHalf);
}

void TextToolsController::N9Click() {
    ConvertSelection(FullSymbolsToHalf);
}

void TextToolsController::N4Click(ReplaceDialogView& dialog) {
    if (!dialog.ShowModal()) return;
    const std::string search = dialog.SearchText();
    const std::string replacement = dialog.ReplacementText();
    int count = 0;
    ConvertSelection([&](const std::string& text) {
        if (search.empty()) return text;  // an empty search text never matches
        const size_t at = text.find(search);
        if (at == std::string::npos) return text;
        ++count;
        std::string result = text;
        result.replace(at, search.size(), replacement);
        return result;
    });
    view_.ShowMessage(std::to_string(count) + " 個の文字列を置換しました.");
}

}  // namespace tabulon
