#include "core/r12_writer.h"

#include <charconv>

#include "core/dxf_number.h"

namespace tabulon {

namespace {

void AppendInt(std::string& out, int value) {
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

// "<code>\r\n<x>\r\n<code+10>\r\n<y>\r\n<code+20>\r\n<z>"
void AppendPoint(std::string& out, std::string_view xCode, std::string_view yCode, std::string_view zCode,
                 const TAcadPoint& p) {
    out += xCode;
    out += "\r\n";
    AppendDxfNumber(out, p.x);
    out += "\r\n";
    out += yCode;
    out += "\r\n";
    AppendDxfNumber(out, p.y);
    out += "\r\n";
    out += zCode;
    out += "\r\n";
    AppendDxfNumber(out, p.z);
}

// An item of one code and its value.
void AddItem(DxfLines& lines, std::string_view code, std::string_view value) {
    std::string& out = lines.BeginItem();
    out += code;
    out += "\r\n";
    out += value;
    lines.EndItem();
}

void AddIntItem(DxfLines& lines, std::string_view code, int value) {
    std::string& out = lines.BeginItem();
    out += code;
    out += "\r\n";
    AppendInt(out, value);
    lines.EndItem();
}

// An integer right-aligned in six places, as the tables write them.
void AddTableIntItem(DxfLines& lines, std::string_view code, int value) {
    std::string& out = lines.BeginItem();
    out += code;
    out += "\r\n";
    const size_t at = out.size();
    AppendInt(out, value);
    const size_t digits = out.size() - at;
    if (digits < 6) out.insert(at, 6 - digits, ' ');
    lines.EndItem();
}

void AddNumberItem(DxfLines& lines, std::string_view code, double value) {
    std::string& out = lines.BeginItem();
    out += code;
    out += "\r\n";
    AppendDxfNumber(out, value);
    lines.EndItem();
}

// The common style item of LINE and POLYLINE.
void AddStyleItem(DxfLines& lines, std::string_view layer, std::string_view linetype, int color) {
    std::string& out = lines.BeginItem();
    out += "  8\r\n";
    out += layer;
    out += "\r\n  6\r\n";
    out += linetype;
    out += "\r\n 62\r\n";
    AppendInt(out, color);
    out += "\r\n 48\r\n1.0";
    lines.EndItem();
}

}  // namespace

void DxfLines::Clear() {
    text_.clear();
    ends_.clear();
}

void DxfLines::Reserve(size_t bytes, size_t items) {
    text_.reserve(bytes);
    ends_.reserve(items);
}

void DxfLines::Add(std::string_view item) {
    text_ += item;
    EndItem();
}

void DxfLines::EndItem() {
    text_ += "\r\n";
    ends_.push_back(text_.size());
}

std::string_view DxfLines::Item(size_t index) const {
    size_t begin = index == 0 ? 0 : ends_[index - 1];
    size_t end = ends_[index] - 2;
    return std::string_view(text_).substr(begin, end - begin);
}

void DxfWriteHeader(DxfLines& lines) {
    lines.Clear();
    // $DWGCODEPAGE tells readers on non-Japanese systems how to decode the texts.
    lines.Add(
        "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n  9\r\n$CELTYPE\r\n  6\r\nBYLAYER\r\n"
        "  9\r\n$CECOLOR\r\n 62\r\n256\r\n  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_932\r\n  0\r\nENDSEC");
    lines.Add("  0\r\nSECTION\r\n  2\r\nTABLES");
}

void DxfWriteLtypeTable(DxfLines& lines, const std::vector<DxfLinetype>& more) {
    lines.Add("  0\r\nTABLE");
    lines.Add("  2\r\nLTYPE");
    if (more.empty()) {
        lines.Add(" 70\r\n     2");
    } else {
        AddTableIntItem(lines, " 70", static_cast<int>(more.size()) + 2);
    }
    lines.Add("  0\r\nLTYPE");
    lines.Add("  2\r\nCONTINUOUS\r\n 70\r\n     0\r\n  3\r\nSolid line");
    lines.Add(" 72\r\n    65\r\n 73\r\n     0\r\n 40\r\n0.0");
    for (const DxfLinetype& type : more) {
        lines.Add("  0\r\nLTYPE");
        AddItem(lines, "  2", type.name);
        lines.Add(" 70\r\n     0");
        AddItem(lines, "  3", type.description);
        lines.Add(" 72\r\n    65");
        AddTableIntItem(lines, " 73", static_cast<int>(type.pattern.size()));
        double total = 0;
        for (double element : type.pattern) total += element < 0 ? -element : element;
        AddNumberItem(lines, " 40", total);
        for (double element : type.pattern) AddNumberItem(lines, " 49", element);
    }
    lines.Add("  0\r\nENDTAB");
}

void DxfWriteLayerTable(DxfLines& lines, const std::vector<DxfLayer>& more) {
    struct Layer {
        const char* name;
        const char* colorItem;
    };
    static const Layer layers[] = {
        {"0", " 62\r\n     7"},
        {kLayerCellLine, " 62\r\n   252"},
        {kLayerCellText, " 62\r\n     7"},
        {kLayerBordLine, " 62\r\n     7"},
    };
    lines.Add("  0\r\nTABLE\r\n  2\r\nLAYER");
    if (more.empty()) {
        lines.Add(" 70\r\n     4");
    } else {
        AddTableIntItem(lines, " 70", static_cast<int>(more.size()) + 4);
    }
    for (const Layer& layer : layers) {
        lines.Add("  0\r\nLAYER");
        AddItem(lines, "  2", layer.name);
        lines.Add(" 70\r\n     0");
        lines.Add(layer.colorItem);
        lines.Add("  6\r\nCONTINUOUS");
    }
    for (const DxfLayer& layer : more) {
        lines.Add("  0\r\nLAYER");
        AddItem(lines, "  2", layer.name);
        lines.Add(" 70\r\n     0");
        AddTableIntItem(lines, " 62", layer.color);
        lines.Add("  6\r\nCONTINUOUS");
    }
    lines.Add("  0\r\nENDTAB");
}

void DxfBeginEntities(DxfLines& lines) {
    lines.Add("  0\r\nENDSEC");
    lines.Add("  0\r\nSECTION\r\n  2\r\nENTITIES");
}

void DxfWriteLine(DxfLines& lines, const TAcadPoint& start, const TAcadPoint& end, std::string_view layer,
                  std::string_view linetype, int color) {
    lines.Add("  0\r\nLINE");
    AddStyleItem(lines, layer, linetype, color);
    AppendPoint(lines.BeginItem(), " 10", " 20", " 30", start);
    lines.EndItem();
    AppendPoint(lines.BeginItem(), " 11", " 21", " 31", end);
    lines.EndItem();
}

void DxfWritePolyline(DxfLines& lines, const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                      std::string_view linetype, int color) {
    lines.Add("  0\r\nPOLYLINE");
    AddStyleItem(lines, layer, linetype, color);
    lines.Add(" 66\r\n1");
    lines.Add(" 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n0.0");
    lines.Add(closed ? " 70\r\n1" : " 70\r\n0");
    for (int k = 0; k <= lastIndex; ++k) {
        lines.Add("  0\r\nVERTEX");
        AddItem(lines, "  8", layer);
        std::string& out = lines.BeginItem();
        out += " 10\r\n";
        AppendDxfNumber(out, vertices[k].x);
        out += "\r\n 20\r\n";
        AppendDxfNumber(out, vertices[k].y);
        out += "\r\n 30\r\n0.0";
        lines.EndItem();
    }
    lines.Add("  0\r\nSEQEND");
}

void ApplyJustification(std::string_view justify, int& hJust, int& vJust) {
    if (justify.size() == 2) {
        switch (justify[0]) {
            case 'M': vJust = 2; break;
            case 'T': vJust = 3; break;
            case 'B': vJust = 1; break;
            default: break;
        }
        switch (justify[1]) {
            case 'L': hJust = 0; break;
            case 'C': hJust = 1; break;
            case 'R': hJust = 2; break;
            default: break;
        }
    } else if (justify.size() == 1) {
        switch (justify[0]) {
            case 'L': hJust = 0; break;
            case 'C': hJust = 1; break;
            case 'R': hJust = 2; break;
            case 'A': hJust = 3; break;
            case 'M': hJust = 4; break;
            case 'F': hJust = 5; break;
            default: break;
        }
        vJust = 0;
    }
}

void DxfWriteText(DxfLines& lines, std::string_view text, const TAcadPoint& first, const TAcadPoint& second,
                  double height, double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
                  std::string_view layer, int color) {
    ApplyJustification(justify, hJust, vJust);
    lines.Add("  0\r\nTEXT");
    AddItem(lines, "  8", layer);
    lines.Add("  7\r\nSTANDARD");
    AddIntItem(lines, " 62", color);
    AppendPoint(lines.BeginItem(), " 10", " 20", " 30", first);
    lines.EndItem();
    AppendPoint(lines.BeginItem(), " 11", " 21", " 31", second);
    lines.EndItem();
    AddItem(lines, "  1", text);
    AddNumberItem(lines, " 40", height);
    AddNumberItem(lines, " 41", widthFactor);
    AddNumberItem(lines, " 50", rotation);
    lines.Add(" 51\r\n0.0");
    lines.Add(" 71\r\n0");
    std::string& justItem = lines.BeginItem();
    justItem += " 72\r\n";
    AppendInt(justItem, hJust);
    justItem += "\r\n 73\r\n";
    AppendInt(justItem, vJust);
    lines.EndItem();
}

void DxfWriteSolid(DxfLines& lines, const TAcadPoint (&corners)[4], std::string_view layer, int color) {
    lines.Add("  0\r\nSOLID");
    AddItem(lines, "  8", layer);
    AddIntItem(lines, " 62", color);
    AppendPoint(lines.BeginItem(), " 10", " 20", " 30", corners[0]);
    lines.EndItem();
    AppendPoint(lines.BeginItem(), " 11", " 21", " 31", corners[1]);
    lines.EndItem();
    AppendPoint(lines.BeginItem(), " 12", " 22", " 32", corners[2]);
    lines.EndItem();
    AppendPoint(lines.BeginItem(), " 13", " 23", " 33", corners[3]);
    lines.EndItem();
}

void DxfWriteEnd(DxfLines& lines) {
    lines.Add("  0\r\nENDSEC");
    lines.Add("  0\r\nEOF");
}

TAcadPoint VarToAcadPoint(const double (&point)[3]) {
    return TAcadPoint{point[0], point[1], point[2]};
}

bool VarToAcadPoints(const std::vector<double>& flat, TAcadPoint* target, int lastIndex) {
    // (highest index + 1) div 2 pairs, as an odd trailing coordinate is ignored.
    size_t pairs = flat.size() / 2;
    if (lastIndex < -1 || pairs != static_cast<size_t>(lastIndex + 1)) return false;
    for (size_t k = 0; k < pairs; ++k) target[k] = TAcadPoint{flat[2 * k], flat[2 * k + 1], 0};
    return true;
}

}  // namespace tabulon
