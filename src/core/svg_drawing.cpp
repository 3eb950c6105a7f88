#include "core/svg_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/dxf_number.h"
#include "core/sheet_look.h"

namespace tabulon {

namespace {

void AppendNumber(std::string& out, double value) {
    AppendDxfNumber(out, value, '.');
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (char ch : text) {
        switch (ch) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += ch; break;
        }
    }
}

// "<tag class="layer"": every element says which layer it is on.
void OpenElement(std::string& out, const char* tag, std::string_view layer) {
    out += '<';
    out += tag;
    out += " class=\"";
    AppendEscaped(out, layer);
    out += '"';
}

// " name="value"" for a number.
void AppendAttribute(std::string& out, const char* name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendNumber(out, value);
    out += '"';
}

void AppendPoint(std::string& out, const TAcadPoint& p) {
    AppendNumber(out, p.x);
    out += ',';
    AppendNumber(out, p.y);
}

}  // namespace

std::string SvgColor(int aci) {
    const int32_t rgb = PaperRgb(aci);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return buf;
}

void SvgDrawing::Begin(const DrawingTables& tables) {
    width_ = tables.width;
    height_ = tables.height;
    linetypes_ = tables.linetypes;
    layers_ = tables.layers;
    // Hairlines that stay visible at any size of table.
    thin_ = std::max(std::fabs(width_), std::fabs(height_)) / 1200;
    if (!(thin_ > 0) || !std::isfinite(thin_)) thin_ = 0.1;
    body_.clear();
    svg_.clear();
}

std::string SvgDrawing::Stroke(std::string_view layer, std::string_view linetype, int color) const {
    const int aci = ShownColor(layer, color, layers_);
    std::string out = " stroke=\"" + SvgColor(aci) + "\" stroke-width=\"";
    AppendNumber(out, layer == kLayerBordLineThick ? thin_ * 2.5 : thin_);
    out += '"';
    for (const DxfLinetype& type : linetypes_) {
        if (type.name != linetype) continue;
        out += " stroke-dasharray=\"";
        bool first = true;
        for (double element : type.pattern) {
            if (!first) out += ' ';
            first = false;
            // A dot of no length still shows as a dot.
            AppendNumber(out, std::max(std::fabs(element), thin_));
        }
        out += '"';
    }
    return out;
}

void SvgDrawing::Line(const TAcadPoint& start, const TAcadPoint& end, std::string_view layer,
                      std::string_view linetype, int color) {
    OpenElement(body_, "line", layer);
    AppendAttribute(body_, "x1", start.x);
    AppendAttribute(body_, "y1", start.y);
    AppendAttribute(body_, "x2", end.x);
    AppendAttribute(body_, "y2", end.y);
    body_ += Stroke(layer, linetype, color);
    body_ += "/>\n";
}

void SvgDrawing::Polyline(const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                          std::string_view linetype, int color) {
    OpenElement(body_, closed ? "polygon" : "polyline", layer);
    body_ += " points=\"";
    for (int k = 0; k <= lastIndex; ++k) {
        if (k) body_ += ' ';
        AppendPoint(body_, vertices[k]);
    }
    body_ += "\" fill=\"none\"";
    body_ += Stroke(layer, linetype, color);
    body_ += "/>\n";
}

void SvgDrawing::Solid(const TAcadPoint (&corners)[4], std::string_view layer, int color) {
    // A SOLID's third and fourth corners make its second edge: a Z.
    OpenElement(body_, "polygon", layer);
    body_ += " points=\"";
    AppendPoint(body_, corners[0]);
    body_ += ' ';
    AppendPoint(body_, corners[1]);
    body_ += ' ';
    AppendPoint(body_, corners[3]);
    body_ += ' ';
    AppendPoint(body_, corners[2]);
    body_ += "\" fill=\"" + SvgColor(ShownColor(layer, color, layers_)) + "\" stroke=\"none\"/>\n";
}

void SvgDrawing::Text(std::string_view text, const TAcadPoint& first, const TAcadPoint& second, double height,
                      double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
                      std::string_view layer, int color) {
    ApplyJustification(justify, hJust, vJust);
    const TAcadPoint& at = TextAnchor(first, second, hJust, vJust);
    const char* anchor = hJust == 1 || hJust == 4 ? "middle" : hJust == 2 ? "end" : "start";
    const char* baseline = vJust == 2 ? "central" : vJust == 3 ? "text-before-edge" : vJust == 1 ? "text-after-edge"
                                                                                                  : "alphabetic";
    OpenElement(body_, "text", layer);
    AppendAttribute(body_, "x", at.x);
    AppendAttribute(body_, "y", at.y);
    // The picture is upside down as a whole: the text turns back upright about its
    // own point, and narrows by its width factor.
    body_ += " transform=\"translate(";
    AppendPoint(body_, at);
    body_ += ") scale(";
    AppendNumber(body_, widthFactor);
    body_ += ",-1)";
    if (rotation != 0) {
        body_ += " rotate(";
        AppendNumber(body_, -rotation);
        body_ += ')';
    }
    body_ += " translate(";
    AppendNumber(body_, -at.x);
    body_ += ',';
    AppendNumber(body_, -at.y);
    body_ += ")\" font-size=\"";
    AppendNumber(body_, height);
    body_ += "\" text-anchor=\"";
    body_ += anchor;
    body_ += "\" dominant-baseline=\"";
    body_ += baseline;
    body_ += "\" fill=\"" + SvgColor(ShownColor(layer, color, layers_)) + "\">";
    AppendEscaped(body_, text);
    body_ += "</text>\n";
}

void SvgDrawing::End() {
    const double margin = std::max(std::fabs(width_), std::fabs(height_)) * 0.02 + thin_ * 4;
    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"";
    AppendNumber(head, -margin);
    head += ' ';
    AppendNumber(head, -margin);
    head += ' ';
    AppendNumber(head, width_ + 2 * margin);
    head += ' ';
    AppendNumber(head, height_ + 2 * margin);
    head += "\" width=\"";
    AppendNumber(head, width_ + 2 * margin);
    head += "mm\" height=\"";
    AppendNumber(head, height_ + 2 * margin);
    head += "mm\" font-family=\"'MS Gothic', 'IPAGothic', 'Noto Sans CJK JP', 'Hiragino Kaku Gothic ProN', sans-serif\">\n";
    head += "<rect x=\"";
    AppendNumber(head, -margin);
    head += "\" y=\"";
    AppendNumber(head, -margin);
    head += "\" width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";
    // Rows run downwards in the drawing, as y grows downwards in the picture.
    head += "<g transform=\"scale(1,-1)\">\n";
    svg_ = std::move(head);
    svg_ += body_;
    svg_ += "</g>\n</svg>\n";
    body_.clear();
}

}  // namespace tabulon
