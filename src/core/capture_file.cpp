#include "core/capture_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>

#include "core/cell_fields.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/json_reader.h"
#include "core/setting_fields.h"

namespace tabulon {

namespace {

using Json = nlohmann::json;

// rows and cols stop one short of the int32 maximum so that the grid, which adds
// a header row and column, still counts in int32.
constexpr int64_t kMaxTableSize = std::numeric_limits<int32_t>::max() - 1;
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr const char* kColorExpected = "a colour \"#RRGGBB\" or null";

// What a key means in its object. Skip marks a key the format does not know.
enum class Meaning : uint8_t {
    None,
    Skip,
    // top level
    Rows,
    Cols,
    Settings,
    Cells,
    Source,
    // settings: field_ tells which
    Setting,
    // source
    Workbook,
    Sheet,
    FirstRow,
    FirstCol,
    // cell: field_ tells which, but for the working text
    CellField,
    Text,
};

struct KeyName {
    const char* name;
    Meaning key;
};

constexpr KeyName kTopKeys[] = {
    {"rows", Meaning::Rows},   {"cols", Meaning::Cols},     {"settings", Meaning::Settings},
    {"cells", Meaning::Cells}, {"source", Meaning::Source},
};

constexpr KeyName kSourceKeys[] = {
    {"workbook", Meaning::Workbook},
    {"sheet", Meaning::Sheet},
    {"firstRow", Meaning::FirstRow},
    {"firstCol", Meaning::FirstCol},
};

template <size_t N>
Meaning Lookup(const KeyName (&names)[N], std::string_view key) {
    for (const KeyName& entry : names) {
        if (key == entry.name) return entry.key;
    }
    return Meaning::Skip;
}

template <size_t N>
const char* NameOf(const KeyName (&names)[N], Meaning key) {
    for (const KeyName& entry : names) {
        if (entry.key == key) return entry.name;
    }
    return "?";
}

// The object or array the parser is in.
enum class Scope : uint8_t { Start, Top, Settings, Source, CellArray, Cell, End };

// One scalar value as the parser hands it over.
struct Scalar {
    enum Kind : uint8_t { Integer, Unsigned, Float, String, Boolean, Null } kind;
    int64_t i = 0;
    uint64_t u = 0;
    double d = 0;
    bool b = false;
    std::string_view str;     // a string's value
    std::string_view digits;  // a float as written
};

// How an integer field is checked.
struct IntRule {
    const char* expected;  // "an integer", "a non-negative integer", ...
    int64_t lo;
    int64_t hi;
    bool lowIsTypeError;  // a value below lo fails as the wrong kind rather than out of range
};

constexpr IntRule kTableSizeRule{"a non-negative integer", 0, kMaxTableSize, true};
constexpr IntRule kFirstRule{"a positive integer", 1, kInt32Max, true};
constexpr IntRule kInt32Rule{"an integer", kInt32Min, kInt32Max, false};
constexpr IntRule kUint16Rule{"an integer", 0, 65535, false};

std::string Describe(const Scalar& v) {
    switch (v.kind) {
        case Scalar::Integer: return std::to_string(v.i);
        case Scalar::Unsigned: return std::to_string(v.u);
        case Scalar::Float: return std::string(v.digits);
        case Scalar::String: return "a string";
        case Scalar::Boolean: return v.b ? "true" : "false";
        case Scalar::Null: return "null";
    }
    return "?";
}

// Builds a Capture from the parser's events. Every mistake throws TabulonError.
class CaptureReader : public JsonHandler {
public:
    // sizeHint: the input's size in bytes when known, else 0.
    explicit CaptureReader(uint64_t sizeHint) : sizeHint_(sizeHint) {}

    void Null() override { OnScalar(Scalar{Scalar::Null}); }
    void Boolean(bool value) override {
        Scalar v{Scalar::Boolean};
        v.b = value;
        OnScalar(v);
    }
    void Integer(int64_t value) override {
        Scalar v{Scalar::Integer};
        v.i = value;
        OnScalar(v);
    }
    void Unsigned(uint64_t value) override {
        Scalar v{Scalar::Unsigned};
        v.u = value;
        OnScalar(v);
    }
    void Float(double value, std::string_view written) override {
        Scalar v{Scalar::Float};
        v.d = value;
        v.digits = written;
        OnScalar(v);
    }
    void String(std::string_view value) override {
        Scalar v{Scalar::String};
        v.str = value;
        OnScalar(v);
    }

    void StartObject() override {
        if (skipDepth_ > 0) return void(++skipDepth_);
        switch (scope_) {
            case Scope::Start: scope_ = Scope::Top; return;
            case Scope::Top:
                if (key_ == Meaning::Settings) {
                    capture_.settings = PartialScaleSettings{};
                    scope_ = Scope::Settings;
                    key_ = Meaning::None;
                    return;
                }
                if (key_ == Meaning::Source) {
                    capture_.source.emplace();
                    scope_ = Scope::Source;
                    key_ = Meaning::None;
                    return;
                }
                break;
            case Scope::CellArray:
                // Beyond rows x cols, cells are read and checked but not kept:
                // only their count matters for the message.
                ++cellCount_;
                if (cells_.size() < cellLimit_) {
                    cells_.emplace_back();
                    cell_ = &cells_.back();
                } else {
                    surplus_ = TXlsxCellAttr{};
                    cell_ = &surplus_;
                }
                scope_ = Scope::Cell;
                return;
            default: break;
        }
        OnContainer("an object");
    }

    void EndObject() override {
        if (skipDepth_ > 0) return void(--skipDepth_);
        scope_ = scope_ == Scope::Cell ? Scope::CellArray : scope_ == Scope::Top ? Scope::End : Scope::Top;
        key_ = Meaning::None;
    }

    void StartArray() override {
        if (skipDepth_ > 0) return void(++skipDepth_);
        if (scope_ == Scope::Top && key_ == Meaning::Cells) {
            cells_.clear();
            workingTexts_.clear();
            cellCount_ = 0;
            cellLimit_ = SIZE_MAX;
            if (rows_ && cols_) {
                // Every cell takes at least three bytes, "{},"; without the
                // input's size, the vector grows as the cells come.
                const size_t expected = static_cast<size_t>(*rows_ * *cols_);
                const uint64_t room = sizeHint_ > 0 ? sizeHint_ / 3 + 1 : 65536;
                cells_.reserve(static_cast<size_t>(std::min<uint64_t>(expected, room)));
                cellLimit_ = expected;
            }
            cellsSeen_ = true;
            scope_ = Scope::CellArray;
            key_ = Meaning::None;
            return;
        }
        OnContainer("an array");
    }

    void EndArray() override {
        if (skipDepth_ > 0) return void(--skipDepth_);
        scope_ = Scope::Top;  // only the cell array is ever entered
        key_ = Meaning::None;
    }

    void Key(std::string_view name) override {
        if (skipDepth_ > 0) return;
        switch (scope_) {
            case Scope::Top: key_ = Lookup(kTopKeys, name); break;
            case Scope::Settings: key_ = FieldKey(FindSetting(name), Meaning::Setting); break;
            case Scope::Source: key_ = Lookup(kSourceKeys, name); break;
            case Scope::Cell:
                // Cells list their keys in the same order: the search starts after the last one.
                key_ = name == "text" ? Meaning::Text : FieldKey(FindCellField(name, field_ + 1), Meaning::CellField);
                break;
            default: key_ = Meaning::Skip; break;
        }
        if (key_ == Meaning::Skip) WarnUnknown(std::string(name));
    }

    // --- after the parse ---
    Capture Finish(std::vector<std::string>* warnings) {
        if (!rows_) throw TabulonError("rows: missing");
        if (!cols_) throw TabulonError("cols: missing");
        if (!cellsSeen_) throw TabulonError("cells: missing");
        const int64_t rows = *rows_;
        const int64_t cols = *cols_;
        if ((rows == 0) != (cols == 0)) {
            throw TabulonError("rows, cols: " + std::to_string(rows) + " x " + std::to_string(cols) +
                               " is not a table; an empty capture has rows 0 and cols 0");
        }
        const int64_t expected = rows * cols;  // both below 2^31: no overflow
        if (cells_.size() != cellCount_ && static_cast<int64_t>(cellCount_) == expected) {
            // The cells were read for another size, given before them.
            throw TabulonError("rows, cols: given again after cells, with another size");
        }
        if (static_cast<int64_t>(cellCount_) != expected) {
            throw TabulonError("cells: expected " + std::to_string(expected) + " cell objects (rows " +
                               std::to_string(rows) + " x cols " + std::to_string(cols) + "), found " +
                               std::to_string(cellCount_));
        }
        int64_t firstRow = 1;
        int64_t firstCol = 1;
        if (capture_.source) {
            if (capture_.source->firstRow) firstRow = *capture_.source->firstRow;
            if (capture_.source->firstCol) firstCol = *capture_.source->firstCol;
            if (firstRow + rows - 1 > kInt32Max) {
                throw TabulonError("source.firstRow: " + std::to_string(firstRow) + " with " + std::to_string(rows) +
                                   " rows runs past row " + std::to_string(kInt32Max));
            }
            if (firstCol + cols - 1 > kInt32Max) {
                throw TabulonError("source.firstCol: " + std::to_string(firstCol) + " with " + std::to_string(cols) +
                                   " columns runs past column " + std::to_string(kInt32Max));
            }
        }

        CellTable& table = capture_.table;
        table.TableRows = static_cast<int32_t>(rows);
        table.TableCols = static_cast<int32_t>(cols);
        table.cells = std::move(cells_);

        GridTexts& grid = capture_.texts;
        grid.Resize(static_cast<int32_t>(cols + 1), static_cast<int32_t>(rows + 1));
        for (int32_t c = 1; c <= cols; ++c) grid.Set(c, 0, ColumnLetters(static_cast<int32_t>(firstCol + c - 1)));
        for (int32_t r = 1; r <= rows; ++r) grid.Set(0, r, std::to_string(firstRow + r - 1));
        size_t i = 0;
        auto working = workingTexts_.begin();
        for (int32_t r = 1; r <= rows; ++r) {
            for (int32_t c = 1; c <= cols; ++c, ++i) {
                if (working != workingTexts_.end() && working->first == i) {
                    grid.Set(c, r, std::move(working->second));
                    ++working;
                } else {
                    grid.Set(c, r, table.cells[i].str);
                }
            }
        }

        if (warnings) {
            for (const UnknownCellKey& unknown : unknownCellKeys_) {
                std::string& w = warnings_[unknown.slot];
                w = "cells[" + std::to_string(unknown.firstCell) + "]." + unknown.name + ": unknown key, ignored";
                if (unknown.count > 1) w += " (found in " + std::to_string(unknown.count) + " cells)";
            }
            for (std::string& w : warnings_) warnings->push_back(std::move(w));
        }
        return std::move(capture_);
    }

private:
    struct UnknownCellKey {
        std::string name;
        size_t firstCell;
        size_t count;
        size_t slot;  // its place in warnings_
    };

    size_t CellIndex() const { return cellCount_ - 1; }

    Meaning FieldKey(std::optional<size_t> index, Meaning key) {
        if (!index) return Meaning::Skip;
        field_ = *index;
        return key;
    }

    const SettingField& Setting() const { return kSettingFields[field_]; }
    const CellField& Field() const { return kCellFields[field_]; }

    // Where the value being read sits, e.g. "cells[7].rowH".
    std::string Place() const {
        switch (scope_) {
            case Scope::Start: return "top level";
            case Scope::Top: return NameOf(kTopKeys, key_);
            case Scope::Settings: return std::string("settings.") + (key_ == Meaning::Setting ? Setting().key : "?");
            case Scope::Source: return std::string("source.") + NameOf(kSourceKeys, key_);
            case Scope::CellArray: return "cells[" + std::to_string(cellCount_) + "]";
            case Scope::Cell:
                return "cells[" + std::to_string(CellIndex()) + "]." +
                       (key_ == Meaning::Text ? "text" : key_ == Meaning::CellField ? Field().key : "?");
            case Scope::End: break;
        }
        return "capture file";
    }

    [[noreturn]] void Fail(const std::string& problem) const { throw TabulonError(Place() + ": " + problem); }

    // What a value in this place must be, for a message about an object or array
    // where a scalar belongs.
    const char* Expected() const {
        switch (scope_) {
            case Scope::Start: return "an object";
            case Scope::CellArray: return "an object";
            default: break;
        }
        switch (key_) {
            case Meaning::Rows:
            case Meaning::Cols: return kTableSizeRule.expected;
            case Meaning::Settings:
            case Meaning::Source: return "an object";
            case Meaning::Cells: return "an array";
            case Meaning::Setting:
                switch (Setting().kind) {
                    case SettingKind::Number: return "a number";
                    case SettingKind::Integer: return "an integer";
                    case SettingKind::Flag: return "true or false";
                }
                break;
            case Meaning::CellField:
                switch (Field().kind) {
                    case CellFieldKind::Small:
                    case CellFieldKind::Medium: return "an integer";
                    case CellFieldKind::Flag: return "true or false";
                    case CellFieldKind::Text: return "a string";
                    case CellFieldKind::Border: return "a border style name";
                    case CellFieldKind::Color: return kColorExpected;
                }
                break;
            case Meaning::Workbook:
            case Meaning::Sheet:
            case Meaning::Text: return "a string";
            case Meaning::FirstRow:
            case Meaning::FirstCol: return kFirstRule.expected;
            default: break;
        }
        return "an integer";
    }

    // An object or array where it does not belong, or the value of an unknown key.
    void OnContainer(const char* found) {
        if (key_ == Meaning::Skip) {
            skipDepth_ = 1;
            key_ = Meaning::None;
            return;
        }
        Fail(std::string("expected ") + Expected() + ", found " + found);
    }

    void WarnUnknown(const std::string& name) {
        if (scope_ == Scope::Cell) {
            for (UnknownCellKey& unknown : unknownCellKeys_) {
                if (unknown.name == name) {
                    ++unknown.count;
                    return;
                }
            }
            unknownCellKeys_.push_back({name, CellIndex(), 1, warnings_.size()});
            warnings_.emplace_back();  // written in Finish
            return;
        }
        std::string prefix = scope_ == Scope::Settings ? "settings." : scope_ == Scope::Source ? "source." : "";
        warnings_.push_back(prefix + name + ": unknown key, ignored");
    }

    int64_t IntegerOf(const Scalar& v, const IntRule& rule) const {
        int64_t x = 0;
        switch (v.kind) {
            case Scalar::Integer: x = v.i; break;
            case Scalar::Unsigned:
                if (v.u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) OutOfRange(v, rule);
                x = static_cast<int64_t>(v.u);
                break;
            case Scalar::Float:
                if (!std::isfinite(v.d) || std::trunc(v.d) != v.d) WrongKind(v, rule.expected);
                if (v.d < -9.0e18 || v.d > 9.0e18) OutOfRange(v, rule);
                x = static_cast<int64_t>(v.d);
                break;
            default: WrongKind(v, rule.expected);
        }
        if (x < rule.lo) {
            if (rule.lowIsTypeError) WrongKind(v, rule.expected);
            OutOfRange(v, rule);
        }
        if (x > rule.hi) OutOfRange(v, rule);
        return x;
    }

    double NumberOf(const Scalar& v) const {
        double d = 0;
        switch (v.kind) {
            case Scalar::Integer: d = static_cast<double>(v.i); break;
            case Scalar::Unsigned: d = static_cast<double>(v.u); break;
            case Scalar::Float: d = v.d; break;
            default: WrongKind(v, "a number");
        }
        if (!std::isfinite(d)) WrongKind(v, "a finite number");
        return d;
    }

    bool FlagOf(const Scalar& v) const {
        if (v.kind != Scalar::Boolean) WrongKind(v, "true or false");
        return v.b;
    }

    std::string TextOf(const Scalar& v) const {
        if (v.kind != Scalar::String) WrongKind(v, "a string");
        return std::string(v.str);
    }

    [[noreturn]] void WrongKind(const Scalar& v, const char* expected) const {
        Fail(std::string("expected ") + expected + ", found " + Describe(v));
    }

    [[noreturn]] void OutOfRange(const Scalar& v, const IntRule& rule) const {
        Fail(Describe(v) + " is out of range " + std::to_string(rule.lo) + ".." + std::to_string(rule.hi));
    }

    void OnScalar(const Scalar& v) {
        if (skipDepth_ > 0) return;
        switch (scope_) {
            case Scope::Start: Fail("expected an object, found " + Describe(v));
            case Scope::CellArray: Fail("expected an object, found " + Describe(v));
            default: break;
        }
        switch (key_) {
            case Meaning::None:
            case Meaning::Skip: break;
            case Meaning::Rows: rows_ = IntegerOf(v, kTableSizeRule); break;
            case Meaning::Cols: cols_ = IntegerOf(v, kTableSizeRule); break;
            case Meaning::Settings:
            case Meaning::Source: Fail("expected an object, found " + Describe(v));
            case Meaning::Cells: Fail("expected an array, found " + Describe(v));
            case Meaning::Setting: ReadSetting(v); break;
            case Meaning::Workbook: capture_.source->workbook = TextOf(v); break;
            case Meaning::Sheet: capture_.source->sheet = TextOf(v); break;
            case Meaning::FirstRow: capture_.source->firstRow = static_cast<int32_t>(IntegerOf(v, kFirstRule)); break;
            case Meaning::FirstCol: capture_.source->firstCol = static_cast<int32_t>(IntegerOf(v, kFirstRule)); break;
            case Meaning::CellField: ReadCellField(v, *cell_); break;
            case Meaning::Text: {
                const size_t cell = CellIndex();
                if (cell >= cellLimit_) {
                    TextOf(v);  // checked, not kept
                    break;
                }
                if (workingTexts_.empty() || workingTexts_.back().first != cell) workingTexts_.emplace_back(cell, "");
                workingTexts_.back().second = TextOf(v);
                break;
            }
        }
        key_ = Meaning::None;
    }

    void ReadSetting(const Scalar& v) {
        const SettingField& f = Setting();
        PartialScaleSettings& settings = capture_.settings;
        switch (f.kind) {
            case SettingKind::Number: {
                const double d = NumberOf(v);
                if (!f.Accepts(d)) Fail(Describe(v) + " is out of range: it must be above 0");
                settings.Set(f.number, d);
                break;
            }
            case SettingKind::Integer: settings.Set(f.integer, static_cast<int32_t>(IntegerOf(v, kInt32Rule))); break;
            case SettingKind::Flag: settings.Set(f.flag, FlagOf(v)); break;
        }
    }

    void ReadCellField(const Scalar& v, TXlsxCellAttr& cell) const {
        const CellField& f = Field();
        switch (f.kind) {
            case CellFieldKind::Small:
                cell.*f.small = static_cast<uint8_t>(IntegerOf(v, IntRule{"an integer", 0, f.max, false}));
                break;
            case CellFieldKind::Medium: cell.*f.medium = static_cast<uint16_t>(IntegerOf(v, kUint16Rule)); break;
            case CellFieldKind::Flag: cell.*f.flag = FlagOf(v); break;
            case CellFieldKind::Text: cell.*f.text = TextOf(v); break;
            case CellFieldKind::Border: {
                if (v.kind != Scalar::String) WrongKind(v, "a border style name");
                auto look = BorderLookFromName(v.str);
                if (!look) Fail("\"" + std::string(v.str) + "\" is not a border style");
                cell.*f.small = *look;
                break;
            }
            case CellFieldKind::Color: cell.*f.color = Color(v); break;
        }
    }

    int32_t Color(const Scalar& v) const {
        if (v.kind == Scalar::Null) return TXlsxCellAttr::kNoFill;
        if (v.kind != Scalar::String) WrongKind(v, kColorExpected);
        const std::string_view text = v.str;
        uint32_t rgb = 0;
        if (text.size() != 7 || text[0] != '#' ||
            std::from_chars(text.data() + 1, text.data() + 7, rgb, 16).ptr != text.data() + 7) {
            Fail("\"" + std::string(text) + "\" is not a colour \"#RRGGBB\"");
        }
        return static_cast<int32_t>(rgb);
    }

    uint64_t sizeHint_;
    Scope scope_ = Scope::Start;
    Meaning key_ = Meaning::None;
    size_t field_ = 0;  // the setting or cell field of key_
    size_t skipDepth_ = 0;  // nesting inside the value of an unknown key

    Capture capture_;
    std::optional<int64_t> rows_, cols_;
    bool cellsSeen_ = false;
    std::vector<TXlsxCellAttr> cells_;  // at most cellLimit_
    size_t cellCount_ = 0;               // cell objects read
    size_t cellLimit_ = SIZE_MAX;        // rows x cols, when they come before the cells
    TXlsxCellAttr* cell_ = nullptr;      // the cell being read
    TXlsxCellAttr surplus_;              // a cell beyond the limit
    std::vector<std::pair<size_t, std::string>> workingTexts_;  // by cell, where "text" gives one
    std::vector<std::string> warnings_;
    std::vector<UnknownCellKey> unknownCellKeys_;
};

// --- writing ------------------------------------------------------------------

void AppendInt(std::string& out, int64_t value) {
    char buf[24];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, result.ptr);
}

void AppendNumber(std::string& out, double value, const char* place) {
    if (!std::isfinite(value)) throw TabulonError(std::string(place) + ": cannot write a non-finite number");
    if (value == 0 && std::signbit(value)) {
        out += "-0.0";  // "-0" would read back as the integer 0
        return;
    }
    char buf[32];
    auto result = std::to_chars(buf, buf + sizeof buf, value);  // shortest form that reads back exactly
    out.append(buf, result.ptr);
}

// Appends text as a JSON string; false when it is not valid UTF-8.
bool AppendString(std::string& out, const std::string& text) {
    bool plain = true;
    for (char ch : text) {
        auto u = static_cast<unsigned char>(ch);
        if (u < 0x20 || u >= 0x7F || ch == '"' || ch == '\\') {
            plain = false;
            break;
        }
    }
    if (plain) {
        out += '"';
        out += text;
        out += '"';
        return true;
    }
    try {
        out += Json(text).dump();
    } catch (const Json::type_error&) {
        return false;
    }
    return true;
}

[[noreturn]] void NotUtf8(const std::string& place) {
    throw TabulonError(place + ": not valid UTF-8, cannot write it");
}

void AppendStringField(std::string& out, const char* name, const std::string& text, size_t cell) {
    out += ", \"";
    out += name;
    out += "\": ";
    if (!AppendString(out, text)) NotUtf8("cells[" + std::to_string(cell) + "]." + name);
}

void AppendIntField(std::string& out, const char* name, int64_t value, bool first = false) {
    if (!first) out += ", ";
    out += '"';
    out += name;
    out += "\": ";
    AppendInt(out, value);
}

void AppendCellFields(std::string& out, const TXlsxCellAttr& cell, size_t index) {
    for (const CellField& f : kCellFields) {
        if (!f.always && IsDefaultCellField(f, cell)) continue;
        if (&f != kCellFields) out += ", ";
        out += '"';
        out += f.key;
        out += "\": ";
        switch (f.kind) {
            case CellFieldKind::Small: AppendInt(out, cell.*f.small); break;
            case CellFieldKind::Medium: AppendInt(out, cell.*f.medium); break;
            case CellFieldKind::Flag: out += cell.*f.flag ? "true" : "false"; break;
            case CellFieldKind::Text:
                if (!AppendString(out, cell.*f.text)) NotUtf8("cells[" + std::to_string(index) + "]." + f.key);
                break;
            case CellFieldKind::Border:
                out += '"';
                out += BorderLookName(cell.*f.small);
                out += '"';
                break;
            case CellFieldKind::Color: {
                const int32_t rgb = cell.*f.color;
                if (rgb < 0 || rgb > 0xFFFFFF) {
                    out += "null";
                    break;
                }
                char buf[12];
                std::snprintf(buf, sizeof buf, "\"#%06X\"", static_cast<unsigned>(rgb));
                out += buf;
                break;
            }
        }
    }
}

}  // namespace

Capture ParseCaptureFile(const JsonInput& input, uint64_t sizeHint, std::vector<std::string>* warnings) {
    CaptureReader reader(sizeHint);
    ReadJson(input, reader, "capture file");
    return reader.Finish(warnings);
}

Capture ParseCaptureFile(std::string_view json, std::vector<std::string>* warnings) {
    return ParseCaptureFile(JsonText(json), json.size(), warnings);
}

Capture ReadCaptureFile(const std::string& path, std::vector<std::string>* warnings) {
    const std::unique_ptr<InputFile> file = OpenInputFile(path);
    std::vector<char> buffer(1 << 16);
    const JsonInput pieces = [&] { return std::string_view(buffer.data(), file->Read(buffer.data(), buffer.size())); };
    return ParseCaptureFile(pieces, file->KnownSize(), warnings);
}

CaptureFileWriter::CaptureFileWriter(std::string& out, int32_t rows, int32_t cols,
                                     const std::optional<ScaleSettings>& scales,
                                     const std::optional<CaptureSource>& source)
    : out_(out), rows_(rows), cols_(cols) {
    if (rows < 0 || cols < 0) {
        throw TabulonError("capture file: a table of " + std::to_string(rows) + " x " + std::to_string(cols));
    }
    out += "{\n \"rows\": ";
    AppendInt(out, rows);
    out += ",\n \"cols\": ";
    AppendInt(out, cols);

    if (scales) {
        const ScaleSettings& settings = *scales;
        out += ",\n \"settings\": {";
        for (const SettingField& f : kSettingFields) {
            if (&f != kSettingFields) out += ", ";
            out += '"';
            out += f.key;
            out += "\": ";
            switch (f.kind) {
                case SettingKind::Number:
                    AppendNumber(out, settings.*f.number, (std::string("settings.") + f.key).c_str());
                    break;
                case SettingKind::Integer: AppendInt(out, settings.*f.integer); break;
                case SettingKind::Flag: out += settings.*f.flag ? "true" : "false"; break;
            }
        }
        out += '}';
    }

    if (source) {
        out += ",\n \"source\": {";
        bool first = true;
        auto separator = [&] {
            if (!first) out += ", ";
            first = false;
        };
        if (source->workbook) {
            separator();
            out += "\"workbook\": ";
            if (!AppendString(out, *source->workbook)) NotUtf8("source.workbook");
        }
        if (source->sheet) {
            separator();
            out += "\"sheet\": ";
            if (!AppendString(out, *source->sheet)) NotUtf8("source.sheet");
        }
        if (source->firstRow) {
            separator();
            AppendIntField(out, "firstRow", *source->firstRow, true);
        }
        if (source->firstCol) {
            separator();
            AppendIntField(out, "firstCol", *source->firstCol, true);
        }
        out += '}';
    }
    out += ",\n \"cells\": [";
}

void CaptureFileWriter::AddCell(const TXlsxCellAttr& cell, const std::string& text) {
    const size_t i = count_++;
    if (count_ > static_cast<size_t>(rows_) * static_cast<size_t>(cols_)) {
        throw TabulonError("capture file: more cells than " + std::to_string(rows_) + " x " + std::to_string(cols_));
    }
    std::string& out = out_;
    out += i == 0 ? "\n  {" : ",\n  {";
    AppendCellFields(out, cell, i);
    if (text != cell.str) AppendStringField(out, "text", text, i);
    out += '}';
}

void CaptureFileWriter::Finish() {
    if (count_ != static_cast<size_t>(rows_) * static_cast<size_t>(cols_)) {
        throw TabulonError("capture file: " + std::to_string(count_) + " cells for " + std::to_string(rows_) + " x " +
                           std::to_string(cols_));
    }
    out_ += count_ == 0 ? "]\n}\n" : "\n ]\n}\n";
}

std::string WriteCaptureFile(const CellTable& table, const GridTexts& texts, const std::optional<ScaleSettings>& scales,
                             const std::optional<CaptureSource>& source) {
    const int32_t rows = table.TableRows;
    const int32_t cols = table.TableCols;
    if (rows < 0 || cols < 0 || table.cells.size() != static_cast<size_t>(rows) * static_cast<size_t>(cols)) {
        throw TabulonError("capture file: the table holds " + std::to_string(table.cells.size()) + " cells for " +
                           std::to_string(rows) + " x " + std::to_string(cols));
    }
    std::string out;
    out.reserve(256 + table.cells.size() * 200);
    CaptureFileWriter writer(out, rows, cols, scales, source);
    size_t i = 0;
    for (int32_t r = 1; r <= rows; ++r) {
        for (int32_t c = 1; c <= cols; ++c, ++i) writer.AddCell(table.cells[i], texts.Get(c, r));
    }
    writer.Finish();
    return out;
}

}  // namespace tabulon
