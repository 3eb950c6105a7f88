// What the fuzz targets check beyond "no crash": a broken promise aborts the run
// with a message, and libFuzzer keeps the input that broke it.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/capture_file.h"
#include "core/cell_table.h"
#include "core/cp932.h"
#include "core/drawing_sizes.h"
#include "core/errors.h"
#include "core/r12_writer.h"
#include "core/table_dxf.h"
#include "core/utf8.h"
#include "platform/platform_services.h"

namespace tabulon::fuzz {

// Every target runs on this system's files and code page 932.
inline const bool kServicesHandedOver = (UsePlatformServices(), true);

[[noreturn]] inline void Broken(const std::string& what) {
    std::fprintf(stderr, "\n*** broken promise: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void Require(bool holds, const std::string& what) {
    if (!holds) Broken(what);
}

inline bool IsUtf8(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        if (DecodeUtf8(text, pos) == kInvalidCodePoint) return false;
    }
    return true;
}

// What makes an R12 DXF text readable by any reader: pairs of lines ending in
// CR LF, a group code line that is a number, numbers that a reader parses to a
// finite value, no line breaks or control characters inside a value, balanced
// sections, and EOF at the end. Empty when all holds, else the first problem.
inline std::string DxfProblem(std::string_view dxf) {
    size_t pos = 0;
    size_t lineNo = 0;
    int depth = 0;
    bool sawEof = false;
    auto nextLine = [&](std::string_view& line) {
        const size_t eol = dxf.find("\r\n", pos);
        if (eol == std::string_view::npos) return false;
        line = dxf.substr(pos, eol - pos);
        pos = eol + 2;
        ++lineNo;
        return true;
    };
    auto where = [&] { return "line " + std::to_string(lineNo) + ": "; };
    std::string_view codeLine, value;
    while (pos < dxf.size()) {
        if (sawEof) return where() + "text after EOF";
        if (!nextLine(codeLine)) return where() + "a line without CR LF";
        if (!nextLine(value)) return where() + "a group code without a value";
        size_t start = codeLine.find_first_not_of(' ');
        if (start == std::string_view::npos) return where() + "an empty group code";
        int code = -1;
        auto res = std::from_chars(codeLine.data() + start, codeLine.data() + codeLine.size(), code);
        if (res.ec != std::errc() || res.ptr != codeLine.data() + codeLine.size() || code < 0 || code > 1071) {
            return where() + "group code \"" + std::string(codeLine) + "\"";
        }
        for (char ch : value) {
            const auto u = static_cast<unsigned char>(ch);
            if (u < 0x20 && ch != '\t') return where() + "a control character in a value";
        }
        const bool real = (code >= 10 && code <= 59) || (code >= 140 && code <= 147) || (code >= 210 && code <= 239);
        const bool integer = (code >= 60 && code <= 99) || (code >= 170 && code <= 179) || (code >= 270 && code <= 289);
        if (real || integer) {
            std::string_view number = value.substr(std::min(value.find_first_not_of(' '), value.size()));
            const char* first = number.data();
            if (!number.empty() && number[0] == '+') ++first;
            const char* last = number.data() + number.size();
            if (real) {
                double x = 0;
                auto r = std::from_chars(first, last, x);
                if (r.ec != std::errc() || r.ptr != last || !std::isfinite(x)) {
                    return where() + "group " + std::to_string(code) + " holds \"" + std::string(value) +
                           "\", not a finite number";
                }
            } else {
                long long n = 0;
                auto r = std::from_chars(first, last, n);
                if (r.ec != std::errc() || r.ptr != last) {
                    return where() + "group " + std::to_string(code) + " holds \"" + std::string(value) +
                           "\", not an integer";
                }
            }
        }
        if (code == 0 && value == "SECTION") ++depth;
        if (code == 0 && value == "ENDSEC" && --depth < 0) return where() + "ENDSEC without SECTION";
        if (code == 0 && value == "EOF") sawEof = true;
    }
    if (depth != 0) return "a section is not closed";
    if (!sawEof) return "no EOF";
    return "";
}

// Code page 932 as a DXF file holds it: every lead byte has its trail byte.
inline bool IsCp932(std::string_view bytes) {
    for (size_t k = 0; k < bytes.size(); ++k) {
        const auto b = static_cast<uint8_t>(bytes[k]);
        if (!IsCp932LeadByte(b)) continue;
        if (++k == bytes.size()) return false;
        const auto t = static_cast<uint8_t>(bytes[k]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    }
    return true;
}

inline bool SameCell(const TXlsxCellAttr& a, const TXlsxCellAttr& b) {
    return a.rowH == b.rowH && a.colW == b.colW && a.txtSize == b.txtSize && a.txtAlign == b.txtAlign &&
           a.lineBits == b.lineBits && a.cellMerge == b.cellMerge && a.mergerowYscount == b.mergerowYscount &&
           a.mergecolXscount == b.mergecolXscount && a.mergeLeft == b.mergeLeft && a.mergeTop == b.mergeTop &&
           a.str == b.str;
}

inline bool SameNumber(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

// A capture written out and read back is the same capture: every record, every
// working text, the settings and where it came from.
inline void CheckCaptureRoundTrip(const Capture& capture, const std::optional<ScaleSettings>& settings) {
    std::string written;
    try {
        written = WriteCaptureFile(capture.table, capture.texts, settings, capture.source);
    } catch (const TabulonError& e) {
        Broken(std::string("a capture that was read cannot be written: ") + e.what());
    }
    Capture back;
    try {
        back = ParseCaptureFile(written);
    } catch (const TabulonError& e) {
        Broken(std::string("a written capture does not read back: ") + e.what() + "\n" + written);
    }
    const CellTable& a = capture.table;
    const CellTable& b = back.table;
    Require(a.TableRows == b.TableRows && a.TableCols == b.TableCols && a.cells.size() == b.cells.size(),
            "the table's size changed");
    for (size_t k = 0; k < a.cells.size(); ++k) {
        Require(SameCell(a.cells[k], b.cells[k]), "cell " + std::to_string(k) + " changed");
    }
    for (int32_t r = 0; r <= a.TableRows; ++r) {
        for (int32_t c = 0; c <= a.TableCols; ++c) {
            Require(capture.texts.Get(c, r) == back.texts.Get(c, r),
                    "the text at " + std::to_string(r) + "," + std::to_string(c) + " changed");
        }
    }
    if (settings) {
        ScaleSettings s;
        back.settings.ApplyTo(s);
        Require(SameNumber(s.colXsc, settings->colXsc) && SameNumber(s.rowYsc, settings->rowYsc) &&
                    SameNumber(s.cadXsc, settings->cadXsc) && SameNumber(s.cadYsc, settings->cadYsc) &&
                    SameNumber(s.cadTsc, settings->cadTsc) && SameNumber(s.cadTof, settings->cadTof) &&
                    s.cellLineColor == settings->cellLineColor && s.cellLineDraw == settings->cellLineDraw &&
                    s.xlsVerNum == settings->xlsVerNum,
                "the settings changed");
    }
    Require(capture.source.has_value() == back.source.has_value(), "the source came or went");
    if (capture.source) {
        const CaptureSource& x = *capture.source;
        const CaptureSource& y = *back.source;
        Require(x.workbook == y.workbook && x.sheet == y.sheet && x.firstRow == y.firstRow && x.firstCol == y.firstCol,
                "the source changed");
    }
}

// The drawing of a capture: either refused with a message, or a well-formed DXF
// whose code page 932 form is well formed too.
inline void CheckDrawing(Capture& capture, const ScaleSettings& settings) {
    if (capture.table.IsEmpty()) return;
    ComputeDrawingSizes(capture.table, settings);
    DxfLines lines;
    try {
        if (!BuildTableDxf(capture.table, capture.texts, settings, lines)) return;
    } catch (const TabulonError&) {
        return;  // sizes the drawing cannot hold, refused with a message
    }
    const std::string problem = DxfProblem(lines.Text());
    Require(problem.empty(), "the drawing is not well formed: " + problem);
    DxfTextEncoder encoder;
    Require(IsCp932(encoder.Encode(lines.Text())), "the drawing's code page 932 text is broken");
}

}  // namespace tabulon::fuzz
