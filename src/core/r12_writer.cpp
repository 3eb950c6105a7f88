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

// Opens an item of one code; the caller appends its value and ends it.
std::string& OpenItem(DxfOutput& out, std::string_view code) {
    std::string& item = out.BeginItem();
    item += code;
    item += "\r\n";
    return item;
}

// An item of one code and its value.
void AddItem(DxfOutput& out, std::string_view code, std::string_view value) {
    OpenItem(out, code) += value;
    out.EndItem();
}

void AddIntItem(DxfOutput& out, std::string_view code, int value) {
    AppendInt(OpenItem(out, code), value);
    out.EndItem();
}

// An integer right-aligned in six places, as the tables write them.
void AddTableIntItem(DxfOutput& out, std::string_view code, int value) {
    std::string& text = OpenItem(out, code);
    const size_t at = text.size();
    AppendInt(text, value);
    const size_t digits = text.size() - at;
    if (digits < 6) text.insert(at, 6 - digits, ' ');
    out.EndItem();
}

// The start every table entry shares: its kind, its name and no flags.
void AddTableEntry(DxfOutput& out, std::string_view kind, std::string_view name) {
    out.Add(kind);
    AddItem(out, "  2", name);
    out.Add(" 70\r\n     0");
}

void AddNumberItem(DxfOutput& out, std::string_view code, double value) {
    AppendDxfNumber(OpenItem(out, code), value);
    out.EndItem();
}

// The common style item of LINE and POLYLINE.
void AddStyleItem(DxfOutput& out, std::string_view layer, std::string_view linetype, int color) {
    std::string& item = out.BeginItem();
    item += "  8\r\n";
    item += layer;
    item += "\r\n  6\r\n";
    item += linetype;
    item += "\r\n 62\r\n";
    AppendInt(item, color);
    item += "\r\n 48\r\n1.0";
    out.EndItem();
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

std::string_view DxfLines::Item(size_t index) const {
    size_t begin = index == 0 ? 0 : ends_[index - 1];
    size_t end = ends_[index] - 2;
    return std::string_view(text_).substr(begin, end - begin);
}

void DxfWriteHeader(DxfOutput& out) {
    out.Clear();
    // $DWGCODEPAGE tells readers on non-Japanese systems how to decode the texts.
    out.Add(
        "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n  9\r\n$CELTYPE\r\n  6\r\nBYLAYER\r\n"
        "  9\r\n$CECOLOR\r\n 62\r\n256\r\n  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_932\r\n  0\r\nENDSEC");
    out.Add("  0\r\nSECTION\r\n  2\r\nTABLES");
}

void DxfWriteLtypeTable(DxfOutput& out, const std::vector<DxfLinetype>& more) {
    out.Add("  0\r\nTABLE");
    out.Add("  2\r\nLTYPE");
    AddTableIntItem(out, " 70", static_cast<int>(more.size()) + 2);
    out.Add("  0\r\nLTYPE");
    out.Add("  2\r\nCONTINUOUS\r\n 70\r\n     0\r\n  3\r\nSolid line");
    out.Add(" 72\r\n    65\r\n 73\r\n     0\r\n 40\r\n0.0");
    for (const DxfLinetype& type : more) {
        AddTableEntry(out, "  0\r\nLTYPE", type.name);
        AddItem(out, "  3", type.description);
        out.Add(" 72\r\n    65");
        AddTableIntItem(out, " 73", static_cast<int>(type.pattern.size()));
        double total = 0;
        for (double element : type.pattern) total += element < 0 ? -element : element;
        AddNumberItem(out, " 40", total);
        for (double element : type.pattern) AddNumberItem(out, " 49", element);
    }
    out.Add("  0\r\nENDTAB");
}

void DxfWriteLayerTable(DxfOutput& out, const std::vector<DxfLayer>& more) {
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
    out.Add("  0\r\nTABLE\r\n  2\r\nLAYER");
    AddTableIntItem(out, " 70", static_cast<int>(more.size()) + 4);
    for (const Layer& layer : layers) {
        AddTableEntry(out, "  0\r\nLAYER", layer.name);
        out.Add(layer.colorItem);
        out.Add("  6\r\nCONTINUOUS");
    }
    for (const DxfLayer& layer : more) {
        AddTableEntry(out, "  0\r\nLAYER", layer.name);
        AddTableIntItem(out, " 62", layer.color);
        out.Add("  6\r\nCONTINUOUS");
    }
    out.Add("  0\r\nENDTAB");
}

void DxfBeginEntities(DxfOutput& out) {
    out.Add("  0\r\nENDSEC");
    out.Add("  0\r\nSECTION\r\n  2\r\nENTITIES");
}

void DxfWriteLine(DxfOutput& out, const TAcadPoint& start, const TAcadPoint& end, std::string_view layer,
                  std::string_view linetype, int color) {
    out.Add("  0\r\nLINE");
    AddStyleItem(out, layer, linetype, color);
    AppendPoint(out.BeginItem(), " 10", " 20", " 30", start);
    out.EndItem();
    AppendPoint(out.BeginItem(), " 11", " 21", " 31", end);
    out.EndItem();
}

void DxfWritePolyline(DxfOutput& out, const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                      std::string_view linetype, int color) {
    out.Add("  0\r\nPOLYLINE");
    AddStyleItem(out, layer, linetype, color);
    out.Add(" 66\r\n1");
    out.Add(" 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n0.0");
    out.Add(closed ? " 70\r\n1" : " 70\r\n0");
    for (int k = 0; k <= lastIndex; ++k) {
        out.Add("  0\r\nVERTEX");
        AddItem(out, "  8", layer);
        std::string& item = out.BeginItem();
        item += " 10\r\n";
        AppendDxfNumber(item, vertices[k].x);
        item += "\r\n 20\r\n";
        AppendDxfNumber(item, vertices[k].y);
        item += "\r\n 30\r\n0.0";
        out.EndItem();
    }
    out.Add("  0\r\nSEQEND");
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

void DxfWriteText(DxfOutput& out, std::string_view text, const TAcadPoint& first, const TAcadPoint& second,
                  double height, double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
                  std::string_view layer, int color) {
    ApplyJustification(justify, hJust, vJust);
    out.Add("  0\r\nTEXT");
    AddItem(out, "  8", layer);
    out.Add("  7\r\nSTANDARD");
    AddIntItem(out, " 62", color);
    AppendPoint(out.BeginItem(), " 10", " 20", " 30", first);
    out.EndItem();
    AppendPoint(out.BeginItem(), " 11", " 21", " 31", second);
    out.EndItem();
    AddItem(out, "  1", text);
    AddNumberItem(out, " 40", height);
    AddNumberItem(out, " 41", widthFactor);
    AddNumberItem(out, " 50", rotation);
    out.Add(" 51\r\n0.0");
    out.Add(" 71\r\n0");
    std::string& justItem = out.BeginItem();
    justItem += " 72\r\n";
    AppendInt(justItem, hJust);
    justItem += "\r\n 73\r\n";
    AppendInt(justItem, vJust);
    out.EndItem();
}

void DxfWriteSolid(DxfOutput& out, const TAcadPoint (&corners)[4], std::string_view layer, int color) {
    out.Add("  0\r\nSOLID");
    AddItem(out, "  8", layer);
    AddIntItem(out, " 62", color);
    AppendPoint(out.BeginItem(), " 10", " 20", " 30", corners[0]);
    out.EndItem();
    AppendPoint(out.BeginItem(), " 11", " 21", " 31", corners[1]);
    out.EndItem();
    AppendPoint(out.BeginItem(), " 12", " 22", " 32", corners[2]);
    out.EndItem();
    AppendPoint(out.BeginItem(), " 13", " 23", " 33", corners[3]);
    out.EndItem();
}

void DxfWriteEnd(DxfOutput& out) {
    out.Add("  0\r\nENDSEC");
    out.Add("  0\r\nEOF");
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
