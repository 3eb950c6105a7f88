#include "xlsx/xlsx_workbook.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include <algorithm>
#include <iterator>

#include "core/cell_fields.h"
#include "core/cell_table.h"
#include "core/errors.h"
#include "core/number_format.h"
#include "xlsx/xlsx_colors.h"
#include "xlsx/xlsx_stream.h"
#include "xlsx/xlsx_units.h"
#include "xlsx/xlsx_xml.h"

namespace tabulon::xlsx {

namespace {

struct Relationship {
    std::string type;    // last path segment of the type, e.g. "worksheet"
    std::string target;  // resolved part name
};

std::string TypeTail(const char* type) {
    const char* slash = std::strrchr(type, '/');
    return slash ? slash + 1 : type;
}

// The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string RelsPartOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    if (slash == std::string::npos) return "_rels/" + part + ".rels";
    return part.substr(0, slash + 1) + "_rels/" + part.substr(slash + 1) + ".rels";
}

std::unordered_map<std::string, Relationship> ReadRelationships(XlsxArchive& archive, const std::string& source) {
    std::unordered_map<std::string, Relationship> rels;
    const std::string relsPart = source.empty() ? "_rels/.rels" : RelsPartOf(source);
    auto data = archive.Read(relsPart);
    if (!data) return rels;
    pugi::xml_document doc = ParsePart(*data, relsPart);
    for (pugi::xml_node r = doc.document_element().first_child(); r; r = r.next_sibling()) {
        if (!IsElement(r, "Relationship")) continue;
        if (std::strcmp(r.attribute("TargetMode").value(), "External") == 0) continue;
        rels[r.attribute("Id").value()] =
            Relationship{TypeTail(r.attribute("Type").value()), ResolvePartName(source, r.attribute("Target").value())};
    }
    return rels;
}

uint32_t UIntAttribute(pugi::xml_node node, const char* name, uint32_t fallback = 0) {
    pugi::xml_attribute a = node.attribute(name);
    return a ? a.as_uint(fallback) : fallback;
}

uint8_t AlignmentCode(const char* horizontal) {
    if (std::strcmp(horizontal, "left") == 0) return 1;
    if (std::strcmp(horizontal, "center") == 0) return 2;
    if (std::strcmp(horizontal, "right") == 0) return 3;
    return 0;  // general, fill, justify, centerContinuous, distributed
}

bool HasLine(pugi::xml_node edge) {
    if (!edge) return false;
    const char* style = edge.attribute("style").value();
    return *style != '\0' && std::strcmp(style, "none") != 0;
}

// An edge's style as a BorderLook; a style this program does not know is a plain line.
uint8_t LineLook(pugi::xml_node edge) {
    if (!HasLine(edge)) return kBorderPlain;
    return BorderLookFromName(edge.attribute("style").value()).value_or(kBorderThin);
}

struct Border {
    uint8_t bits = 0;
    uint8_t looks[6] = {};
};

Border ReadBorder(pugi::xml_node border) {
    Border out;
    pugi::xml_node left = FirstChild(border, "left");
    if (!left) left = FirstChild(border, "start");
    pugi::xml_node right = FirstChild(border, "right");
    if (!right) right = FirstChild(border, "end");
    const pugi::xml_node edges[4] = {FirstChild(border, "top"), FirstChild(border, "bottom"), left, right};
    const uint8_t bits[4] = {kEdgeTop, kEdgeBottom, kEdgeLeft, kEdgeRight};
    for (int k = 0; k < 4; ++k) {
        if (HasLine(edges[k])) {
            out.bits |= bits[k];
            out.looks[k] = LineLook(edges[k]);
        }
    }
    if (pugi::xml_node diagonal = FirstChild(border, "diagonal"); HasLine(diagonal)) {
        if (BoolAttribute(border, "diagonalDown")) out.bits |= kDiagonalDown, out.looks[4] = LineLook(diagonal);
        if (BoolAttribute(border, "diagonalUp")) out.bits |= kDiagonalUp, out.looks[5] = LineLook(diagonal);
    }
    return out;
}

uint8_t VerticalCode(const char* vertical) {
    if (std::strcmp(vertical, "top") == 0) return 1;
    if (std::strcmp(vertical, "center") == 0 || std::strcmp(vertical, "justify") == 0 ||
        std::strcmp(vertical, "distributed") == 0) {
        return 2;
    }
    return 3;  // bottom, the default
}

// A solid pattern fill's colour; other patterns and no fill give nothing.
int32_t FillColor(pugi::xml_node fill, const ColorContext& colors) {
    pugi::xml_node pattern = FirstChild(fill, "patternFill");
    if (!pattern || std::strcmp(pattern.attribute("patternType").value(), "solid") != 0) return -1;
    if (auto rgb = ResolveColor(FirstChild(pattern, "fgColor"), colors)) return *rgb;
    if (auto rgb = ResolveColor(FirstChild(pattern, "bgColor"), colors)) return *rgb;
    return -1;
}

}  // namespace

std::string ResolvePartName(const std::string& sourcePart, const std::string& target) {
    std::string path;
    if (!target.empty() && target[0] == '/') {
        path = target.substr(1);
    } else {
        const size_t slash = sourcePart.rfind('/');
        path = (slash == std::string::npos ? std::string() : sourcePart.substr(0, slash + 1)) + target;
    }
    // Fold "." and ".." segments.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string seg = path.substr(start, end - start);
        if (seg == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!seg.empty() && seg != ".") {
            parts.push_back(seg);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& seg : parts) out += (out.empty() ? "" : "/") + seg;
    return out;
}

XlsxWorkbook::XlsxWorkbook(const std::string& path, ArchiveLimits limits)
    : archive_(std::make_unique<XlsxArchive>(path, limits)) {
    // The package's relationships name the workbook part; xl/workbook.xml is the
    // usual place when they are missing.
    std::string workbookPart = "xl/workbook.xml";
    for (const auto& [id, rel] : ReadRelationships(*archive_, "")) {
        if (rel.type == "officeDocument") workbookPart = rel.target;
    }
    std::string data = archive_->ReadRequired(workbookPart);
    pugi::xml_document doc = ParsePart(data, workbookPart);
    pugi::xml_node workbook = doc.document_element();
    if (!IsElement(workbook, "workbook")) {
        throw TabulonError("part " + workbookPart + " is not a workbook (a Word or PowerPoint file?)");
    }
    if (pugi::xml_node pr = FirstChild(workbook, "workbookPr")) date1904_ = BoolAttribute(pr, "date1904");

    const auto rels = ReadRelationships(*archive_, workbookPart);
    for (pugi::xml_node s = FirstChild(FirstChild(workbook, "sheets"), "sheet"); s; s = s.next_sibling()) {
        if (!IsElement(s, "sheet")) continue;
        SheetEntry entry;
        entry.name = s.attribute("name").value();
        auto it = rels.find(AttributeLocal(s, "id").value());
        if (it != rels.end()) {
            entry.part = it->second.target;
            entry.isWorksheet = it->second.type == "worksheet";
        }
        sheets_.push_back(std::move(entry));
    }
    if (sheets_.empty()) throw TabulonError("the workbook lists no sheets");
    if (pugi::xml_node view = FirstChild(FirstChild(workbook, "bookViews"), "workbookView")) {
        const uint32_t tab = UIntAttribute(view, "activeTab", 0);
        activeSheet_ = tab < sheets_.size() ? static_cast<int>(tab) : 0;
    }

    std::string stylesPart, stringsPart, themePart;
    for (const auto& [id, rel] : rels) {
        if (rel.type == "styles")
            stylesPart = rel.target;
        else if (rel.type == "sharedStrings")
            stringsPart = rel.target;
        else if (rel.type == "theme")
            themePart = rel.target;
    }
    if (stylesPart.empty()) stylesPart = "xl/styles.xml";
    if (stringsPart.empty()) stringsPart = "xl/sharedStrings.xml";
    ReadStyles(stylesPart, themePart);
    ReadSharedStrings(stringsPart);
}

void XlsxWorkbook::ReadStyles(const std::string& part, const std::string& themePart) {
    formats_.assign(1, CellFormat{});
    auto data = archive_->Read(part);
    if (!data) return;  // no styles: every cell has the standard format
    pugi::xml_document doc = ParsePart(*data, part);
    pugi::xml_node styleSheet = doc.document_element();

    std::unordered_map<uint32_t, std::string> customFormats;
    for (pugi::xml_node f = FirstChild(styleSheet, "numFmts").first_child(); f; f = f.next_sibling()) {
        if (IsElement(f, "numFmt")) customFormats[UIntAttribute(f, "numFmtId")] = f.attribute("formatCode").value();
    }
    struct Font {
        double size = 11;
        std::string sizeText;  // as written, for messages
        std::string name;
    };
    std::vector<Font> fonts;
    for (pugi::xml_node f = FirstChild(styleSheet, "fonts").first_child(); f; f = f.next_sibling()) {
        if (!IsElement(f, "font")) continue;
        Font font;
        if (pugi::xml_node sz = FirstChild(f, "sz")) {
            font.size = sz.attribute("val").as_double(11);
            font.sizeText = sz.attribute("val").value();
        }
        if (pugi::xml_node name = FirstChild(f, "name")) font.name = name.attribute("val").value();
        fonts.push_back(std::move(font));
    }
    std::vector<Border> borders;
    for (pugi::xml_node b = FirstChild(styleSheet, "borders").first_child(); b; b = b.next_sibling()) {
        if (IsElement(b, "border")) borders.push_back(ReadBorder(b));
    }
    ColorContext colors;
    if (!themePart.empty()) {
        if (auto theme = archive_->Read(themePart)) {
            pugi::xml_document themeDoc = ParsePart(*theme, themePart);
            colors.theme = ReadThemeColors(themeDoc.document_element());
            colors.hasTheme = true;
        }
    }
    for (pugi::xml_node c = FirstChild(FirstChild(FirstChild(styleSheet, "colors"), "indexedColors"), "rgbColor"); c;
         c = c.next_sibling()) {
        if (!IsElement(c, "rgbColor")) continue;
        colors.indexed.push_back(ResolveColor(c, ColorContext{}).value_or(0));
    }
    std::vector<int32_t> fills;
    for (pugi::xml_node f = FirstChild(styleSheet, "fills").first_child(); f; f = f.next_sibling()) {
        if (IsElement(f, "fill")) fills.push_back(FillColor(f, colors));
    }

    // The standard font is the Normal style's: the first cell style format's font.
    uint32_t standardFont = 0;
    if (pugi::xml_node xf = FirstChild(FirstChild(styleSheet, "cellStyleXfs"), "xf")) {
        standardFont = UIntAttribute(xf, "fontId");
    }
    if (standardFont < fonts.size()) {
        if (!fonts[standardFont].name.empty()) standardFontName_ = fonts[standardFont].name;
        standardFontSize_ = fonts[standardFont].size;
        // Column widths are counted in this font's digits: past the largest size
        // a spreadsheet allows, pixel widths would overflow.
        if (std::isnan(standardFontSize_) || standardFontSize_ > kMaxFontSize) {
            throw TabulonError(part + ": the standard font size \"" + fonts[standardFont].sizeText +
                               "\" is out of range (at most " + std::to_string(static_cast<int>(kMaxFontSize)) +
                               " points)");
        }
    }
    maxDigitWidth_ = MaxDigitWidth(standardFontName_, standardFontSize_);

    formats_.clear();
    for (pugi::xml_node xf = FirstChild(styleSheet, "cellXfs").first_child(); xf; xf = xf.next_sibling()) {
        if (!IsElement(xf, "xf")) continue;
        CellFormat format;
        const uint32_t numFmtId = UIntAttribute(xf, "numFmtId");
        auto custom = customFormats.find(numFmtId);
        if (custom != customFormats.end())
            format.numberFormat = custom->second;
        else
            format.numberFormat = BuiltinNumberFormatCode(static_cast<int>(numFmtId));
        if (format.numberFormat.empty()) format.numberFormat = "General";
        const uint32_t fontId = UIntAttribute(xf, "fontId");
        format.fontSize = fontId < fonts.size() ? fonts[fontId].size : standardFontSize_;
        const uint32_t borderId = UIntAttribute(xf, "borderId");
        if (borderId < borders.size()) {
            format.lineBits = borders[borderId].bits;
            std::copy(std::begin(borders[borderId].looks), std::end(borders[borderId].looks), format.lineStyles);
        }
        const uint32_t fillId = UIntAttribute(xf, "fillId");
        if (fillId < fills.size()) format.fillColor = fills[fillId];
        if (pugi::xml_node alignment = FirstChild(xf, "alignment")) {
            format.txtAlign = AlignmentCode(alignment.attribute("horizontal").value());
            format.txtVAlign = VerticalCode(alignment.attribute("vertical").value());
            format.wrapText = BoolAttribute(alignment, "wrapText");
            format.shrinkToFit = BoolAttribute(alignment, "shrinkToFit");
        }
        formats_.push_back(std::move(format));
    }
    if (formats_.empty()) {
        CellFormat standard;
        standard.fontSize = standardFontSize_;
        formats_.push_back(standard);
    }
}

namespace {

// The string items of the shared strings part, read as a stream: a workbook's
// strings can take many times their size as a tree.
class SharedStringsHandler : public XmlStreamHandler {
public:
    SharedStringsHandler(std::vector<std::string>& strings, std::vector<double>& sizes)
        : strings_(strings), sizes_(sizes) {}

    void Start(const char* name, const char** attributes) override {
        const size_t depth = depth_++;
        if (inItem_) {
            item_.Start(name, depth - 1, attributes);
        } else if (depth == 1 && std::strcmp(name, "si") == 0) {
            inItem_ = true;
            item_.Begin();
        }
    }

    void End(const char*) override {
        const size_t depth = --depth_;
        if (!inItem_) return;
        if (depth == 1) {
            strings_.push_back(item_.Finish());
            sizes_.push_back(item_.RunSize());
            inItem_ = false;
        } else {
            item_.End(depth - 1);
        }
    }

    void Text(std::string_view text) override {
        if (inItem_) item_.Text(text, depth_ - 1);
    }

private:
    std::vector<std::string>& strings_;
    std::vector<double>& sizes_;
    size_t depth_ = 0;
    bool inItem_ = false;
    StringItemReader item_;
};

}  // namespace

void XlsxWorkbook::ReadSharedStrings(const std::string& part) {
    SharedStringsHandler handler(sharedStrings_, sharedStringSizes_);
    StreamPart(*archive_, part, handler);
    sharedStrings_.shrink_to_fit();
}

const std::string& XlsxWorkbook::SharedString(size_t index) const {
    if (index >= sharedStrings_.size()) {
        throw TabulonError("a cell refers to shared string " + std::to_string(index) + ", but the workbook has only " +
                           std::to_string(sharedStrings_.size()));
    }
    return sharedStrings_[index];
}

}  // namespace tabulon::xlsx
