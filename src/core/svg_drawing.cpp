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

using Entity = RecordedDrawing::Entity;

// The entities' elements, one picture's worth.
class SvgBody {
public:
    explicit SvgBody(const RecordedDrawing& drawing) : drawing_(drawing) {
        // Hairlines that stay visible at any size of table.
        thin_ = std::max(std::fabs(drawing.Tables().width), std::fabs(drawing.Tables().height)) / 1200;
        if (!(thin_ > 0) || !std::isfinite(thin_)) thin_ = 0.1;
    }

    double Thin() const { return thin_; }
    std::string& Text() { return body_; }

    void Add(const Entity& e) {
        switch (e.kind) {
            case RecordedDrawing::Kind::Line: Line(e); break;
            case RecordedDrawing::Kind::Polyline: Polyline(e); break;
            case RecordedDrawing::Kind::Solid: Solid(e); break;
            case RecordedDrawing::Kind::Text: TextOf(e); break;
        }
    }

private:
    const TAcadPoint& Point(const Entity& e, uint32_t k) const { return drawing_.Points()[e.first + k]; }
    std::string Fill(const Entity& e) const { return SvgColor(drawing_.ShownColorOf(e)); }

    std::string Stroke(const Entity& e) const {
        const std::string& layer = drawing_.LayerOf(e);
        std::string out = " stroke=\"" + Fill(e) + "\" stroke-width=\"";
        AppendNumber(out, layer == kLayerBordLineThick ? thin_ * 2.5 : thin_);
        out += '"';
        for (const DxfLinetype& type : drawing_.Tables().linetypes) {
            if (type.name != drawing_.LinetypeOf(e)) continue;
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

    void Line(const Entity& e) {
        OpenElement(body_, "line", drawing_.LayerOf(e));
        AppendAttribute(body_, "x1", Point(e, 0).x);
        AppendAttribute(body_, "y1", Point(e, 0).y);
        AppendAttribute(body_, "x2", Point(e, 1).x);
        AppendAttribute(body_, "y2", Point(e, 1).y);
        body_ += Stroke(e);
        body_ += "/>\n";
    }

    void Polyline(const Entity& e) {
        OpenElement(body_, e.closed ? "polygon" : "polyline", drawing_.LayerOf(e));
        body_ += " points=\"";
        for (uint32_t k = 0; k < e.count; ++k) {
            if (k) body_ += ' ';
            AppendPoint(body_, Point(e, k));
        }
        body_ += "\" fill=\"none\"";
        body_ += Stroke(e);
        body_ += "/>\n";
    }

    void Solid(const Entity& e) {
        // A SOLID's third and fourth corners make its second edge: a Z.
        OpenElement(body_, "polygon", drawing_.LayerOf(e));
        body_ += " points=\"";
        AppendPoint(body_, Point(e, 0));
        body_ += ' ';
        AppendPoint(body_, Point(e, 1));
        body_ += ' ';
        AppendPoint(body_, Point(e, 3));
        body_ += ' ';
        AppendPoint(body_, Point(e, 2));
        body_ += "\" fill=\"" + Fill(e) + "\" stroke=\"none\"/>\n";
    }

    void TextOf(const Entity& e) {
        const int hJust = e.hJust, vJust = e.vJust;
        const TAcadPoint& at = drawing_.AnchorOf(e);
        const char* anchor = hJust == 1 || hJust == 4 ? "middle" : hJust == 2 ? "end" : "start";
        const char* baseline = vJust == 2 ? "central" : vJust == 3 ? "text-before-edge" : vJust == 1 ? "text-after-edge"
                                                                                                      : "alphabetic";
        OpenElement(body_, "text", drawing_.LayerOf(e));
        AppendAttribute(body_, "x", at.x);
        AppendAttribute(body_, "y", at.y);
        // The picture is upside down as a whole: the text turns back upright about its
        // own point, and narrows by its width factor.
        body_ += " transform=\"translate(";
        AppendPoint(body_, at);
        body_ += ") scale(";
        AppendNumber(body_, e.widthFactor);
        body_ += ",-1)";
        if (e.rotation != 0) {
            body_ += " rotate(";
            AppendNumber(body_, -e.rotation);
            body_ += ')';
        }
        body_ += " translate(";
        AppendNumber(body_, -at.x);
        body_ += ',';
        AppendNumber(body_, -at.y);
        body_ += ")\" font-size=\"";
        AppendNumber(body_, e.height);
        body_ += "\" text-anchor=\"";
        body_ += anchor;
        body_ += "\" dominant-baseline=\"";
        body_ += baseline;
        body_ += "\" fill=\"" + Fill(e) + "\">";
        AppendEscaped(body_, drawing_.Texts()[e.text]);
        body_ += "</text>\n";
    }

    const RecordedDrawing& drawing_;
    double thin_ = 0.1;
    std::string body_;
};

}  // namespace

std::string SvgColor(int aci) {
    const int32_t rgb = PaperRgb(aci);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return buf;
}

std::string SvgOf(const RecordedDrawing& drawing) {
    SvgBody body(drawing);
    for (const Entity& e : drawing.Entities()) body.Add(e);
    const double width = drawing.Tables().width, height = drawing.Tables().height;
    const double margin = std::max(std::fabs(width), std::fabs(height)) * 0.02 + body.Thin() * 4;
    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"";
    AppendNumber(head, -margin);
    head += ' ';
    AppendNumber(head, -margin);
    head += ' ';
    AppendNumber(head, width + 2 * margin);
    head += ' ';
    AppendNumber(head, height + 2 * margin);
    head += "\" width=\"";
    AppendNumber(head, width + 2 * margin);
    head += "mm\" height=\"";
    AppendNumber(head, height + 2 * margin);
    head += "mm\" font-family=\"'MS Gothic', 'IPAGothic', 'Noto Sans CJK JP', 'Hiragino Kaku Gothic ProN', sans-serif\">\n";
    head += "<rect x=\"";
    AppendNumber(head, -margin);
    head += "\" y=\"";
    AppendNumber(head, -margin);
    head += "\" width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";
    // Rows run downwards in the drawing, as y grows downwards in the picture.
    head += "<g transform=\"scale(1,-1)\">\n";
    head += body.Text();
    head += "</g>\n</svg>\n";
    return head;
}

}  // namespace tabulon
