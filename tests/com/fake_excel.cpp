#include "com/fake_excel.h"

#include <cctype>
#include <cmath>
#include <cwctype>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "platform/com_resource.h"

namespace tabulon::fake {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

bool ParseCell(const std::string& text, int32_t& row, int32_t& col) {
    size_t k = 0;
    if (k < text.size() && text[k] == '$') ++k;
    col = 0;
    const size_t lettersFrom = k;
    while (k < text.size() && std::isalpha(static_cast<unsigned char>(text[k]))) {
        col = col * 26 + (std::toupper(static_cast<unsigned char>(text[k])) - 'A' + 1);
        ++k;
    }
    if (k == lettersFrom || k - lettersFrom > 3) return false;
    if (k < text.size() && text[k] == '$') ++k;
    row = 0;
    const size_t digitsFrom = k;
    while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) row = row * 10 + (text[k++] - '0');
    return k == text.size() && k > digitsFrom && row > 0;
}

// Excel turns a width in characters into whole pixels (7 per character of the
// default font plus 5 of padding); a point is 4/3 pixel.
double ColumnPoints(double characters) {
    return characters <= 0 ? 0 : std::round(characters * 7 + 5) * 0.75;
}

constexpr DISPID kName = 110, kScreenUpdating = 382, kActiveSheet = 307, kActiveWorkbook = 308, kSelection = 147,
                 kRange = 197, kRow = 257, kColumn = 240, kRows = 258, kColumns = 241, kCount = 118, kColumnWidth = 242,
                 kRowHeight = 272, kHorizontalAlignment = 136, kFont = 146, kSize = 104, kText = 138, kValue2 = 1388,
                 kBorders = 435, kLineStyle = 119, kMergeCells = 208, kMergeArea = 1385, kLeft = 127, kTop = 126,
                 kWrapText = 276, kShrinkToFit = 209, kVerticalAlignment = 137, kWeight = 120, kInterior = 129,
                 kColor = 99, kPattern = 95;

const std::map<std::wstring, DISPID>& Names() {
    static const std::map<std::wstring, DISPID> names = {
        {L"name", kName},
        {L"screenupdating", kScreenUpdating},
        {L"activesheet", kActiveSheet},
        {L"activeworkbook", kActiveWorkbook},
        {L"selection", kSelection},
        {L"range", kRange},
        {L"row", kRow},
        {L"column", kColumn},
        {L"rows", kRows},
        {L"columns", kColumns},
        {L"count", kCount},
        {L"columnwidth", kColumnWidth},
        {L"rowheight", kRowHeight},
        {L"horizontalalignment", kHorizontalAlignment},
        {L"font", kFont},
        {L"size", kSize},
        {L"text", kText},
        {L"value2", kValue2},
        {L"borders", kBorders},
        {L"item", DISPID_VALUE},
        {L"linestyle", kLineStyle},
        {L"mergecells", kMergeCells},
        {L"mergearea", kMergeArea},
        {L"left", kLeft},
        {L"top", kTop},
        {L"wraptext", kWrapText},
        {L"shrinktofit", kShrinkToFit},
        {L"verticalalignment", kVerticalAlignment},
        {L"weight", kWeight},
        {L"interior", kInterior},
        {L"color", kColor},
        {L"pattern", kPattern},
    };
    return names;
}

enum class Kind {
    Application,
    Workbook,
    Worksheet,
    ChartSheet,
    Range,
    RangeRows,
    RangeColumns,
    Font,
    Borders,
    Border,
    Interior,
    Shape
};

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Application: return "Application";
        case Kind::Workbook: return "Workbook";
        case Kind::Worksheet: return "Worksheet";
        case Kind::ChartSheet: return "Chart";
        case Kind::Range: return "Range";
        case Kind::RangeRows: return "Rows";
        case Kind::RangeColumns: return "Columns";
        case Kind::Font: return "Font";
        case Kind::Borders: return "Borders";
        case Kind::Border: return "Border";
        case Kind::Interior: return "Interior";
        case Kind::Shape: return "Shape";
    }
    return "?";
}

// The members each kind of object offers, by dispatch id.
bool Offers(Kind kind, DISPID id) {
    switch (kind) {
        case Kind::Application:
            return id == kScreenUpdating || id == kActiveSheet || id == kActiveWorkbook || id == kSelection;
        case Kind::Workbook: return id == kName;
        case Kind::Worksheet: return id == kName || id == kRange;
        case Kind::ChartSheet: return id == kName;
        case Kind::Range:
            return id == kRow || id == kColumn || id == kRows || id == kColumns || id == kCount || id == kColumnWidth ||
                   id == kRowHeight || id == kHorizontalAlignment || id == kFont || id == kText || id == kValue2 ||
                   id == kBorders || id == kMergeCells || id == kMergeArea || id == kLeft || id == kTop ||
                   id == kWrapText || id == kShrinkToFit || id == kVerticalAlignment || id == kInterior;
        case Kind::RangeRows:
        case Kind::RangeColumns: return id == kCount;
        case Kind::Font: return id == kSize;
        case Kind::Borders: return id == DISPID_VALUE;
        case Kind::Border: return id == kLineStyle || id == kWeight;
        case Kind::Interior: return id == kColor || id == kPattern;
        case Kind::Shape: return id == kName || id == kLeft || id == kTop;
    }
    return false;
}

const char* MemberName(DISPID id) {
    switch (id) {
        case kName: return "Name";
        case kScreenUpdating: return "ScreenUpdating";
        case kActiveSheet: return "ActiveSheet";
        case kActiveWorkbook: return "ActiveWorkbook";
        case kSelection: return "Selection";
        case kRange: return "Range";
        case kRow: return "Row";
        case kColumn: return "Column";
        case kRows: return "Rows";
        case kColumns: return "Columns";
        case kCount: return "Count";
        case kColumnWidth: return "ColumnWidth";
        case kRowHeight: return "RowHeight";
        case kHorizontalAlignment: return "HorizontalAlignment";
        case kFont: return "Font";
        case kSize: return "Size";
        case kText: return "Text";
        case kValue2: return "Value2";
        case kBorders: return "Borders";
        case DISPID_VALUE: return "Item";
        case kLineStyle: return "LineStyle";
        case kMergeCells: return "MergeCells";
        case kMergeArea: return "MergeArea";
        case kLeft: return "Left";
        case kTop: return "Top";
        case kWrapText: return "WrapText";
        case kShrinkToFit: return "ShrinkToFit";
        case kVerticalAlignment: return "VerticalAlignment";
        case kWeight: return "Weight";
        case kInterior: return "Interior";
        case kColor: return "Color";
        case kPattern: return "Pattern";
    }
    return "?";
}

std::wstring GeneralText(double value) {
    wchar_t text[40];
    swprintf(text, 40, L"%.15G", value);
    return text;
}

class FakeObject final : public ComObject<IDispatch, IID_IDispatch> {
public:
    FakeObject(std::shared_ptr<FakeExcelState> state, Kind kind, Rect rect = {}, int32_t borderIndex = 0)
        : state_(std::move(state)), kind_(kind), rect_(rect), borderIndex_(borderIndex) {
        ++state_->liveObjects;
    }
    ~FakeObject() override { --state_->liveObjects; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        std::wstring name = names[0];
        const HRESULT gone = Count("GetIDsOfNames(" + Narrow(name) + ")");
        if (FAILED(gone)) return gone;
        for (wchar_t& ch : name) ch = static_cast<wchar_t>(std::towlower(ch));
        for (UINT k = 0; k < count; ++k) ids[k] = DISPID_UNKNOWN;
        auto it = Names().find(name);
        if (it == Names().end() || !Offers(kind_, it->second) || count > 1) return DISP_E_UNKNOWNNAME;
        ids[0] = it->second;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        std::string entry = std::string(KindName(kind_)) + "." + MemberName(id);
        if (id == DISPID_VALUE || id == kRange) entry.append("(").append(ArgumentText(params)).append(")");
        if (flags & DISPATCH_PROPERTYPUT) entry.append(" = ").append(ArgumentText(params));
        const HRESULT gone = Count(entry);
        if (FAILED(gone)) return gone;
        if (!Offers(kind_, id)) return DISP_E_MEMBERNOTFOUND;
        if (!params) return E_INVALIDARG;
        if (flags & DISPATCH_PROPERTYPUT) return Put(id, lcid, *params);
        if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
        if (!result) return E_INVALIDARG;
        VariantInit(result);
        return Get(id, *params, *result, info);
    }

private:
    HRESULT Count(const std::string& entry) {
        if (state_->rejectForMs > 0) {
            long long from = -1;
            const long long now = static_cast<long long>(GetTickCount64());
            state_->rejectFrom.compare_exchange_strong(from, now);
            if (now - state_->rejectFrom.load() < state_->rejectForMs) {
                ++state_->rejected;
                return RPC_E_SERVERCALL_RETRYLATER;
            }
        }
        const long n = ++state_->calls;
        if (state_->logging) state_->Record(entry);
        if (state_->disconnectAfter >= 0 && n > state_->disconnectAfter) return RPC_E_DISCONNECTED;
        return S_OK;
    }

    static std::string ArgumentText(const DISPPARAMS* params) {
        if (!params || params->cArgs == 0) return "";
        const VARIANT& last = params->rgvarg[params->cArgs - 1];  // the first argument
        if (last.vt == VT_BSTR) return last.bstrVal ? Narrow(last.bstrVal) : "";
        if (last.vt == VT_BOOL) return last.boolVal ? "True" : "False";
        VARIANT copy;
        VariantInit(&copy);
        if (FAILED(VariantChangeType(&copy, const_cast<VARIANT*>(&last), 0, VT_I4))) return "?";
        return std::to_string(copy.lVal);
    }

    HRESULT Put(DISPID id, LCID lcid, const DISPPARAMS& params) {
        if (id != kScreenUpdating || params.cArgs != 1) return DISP_E_MEMBERNOTFOUND;
        if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTOPTIONAL;
        if (params.rgvarg[0].vt != VT_BOOL) return DISP_E_TYPEMISMATCH;
        if (lcid != GetUserDefaultLCID()) return DISP_E_UNKNOWNLCID;
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->screenUpdating.push_back(params.rgvarg[0].boolVal != VARIANT_FALSE);
        return S_OK;
    }

    HRESULT Object(VARIANT& result, Kind kind, Rect rect = {}, int32_t border = 0) {
        result.vt = VT_DISPATCH;
        result.pdispVal = new FakeObject(state_, kind, rect, border);
        return S_OK;
    }
    static HRESULT Number(VARIANT& result, double value) {
        result.vt = VT_R8;
        result.dblVal = value;
        return S_OK;
    }
    static HRESULT Long(VARIANT& result, int32_t value) {
        result.vt = VT_I4;
        result.lVal = value;
        return S_OK;
    }
    static HRESULT String(VARIANT& result, const std::wstring& text) {
        result.vt = VT_BSTR;
        result.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return result.bstrVal ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT Get(DISPID id, const DISPPARAMS& params, VARIANT& result, EXCEPINFO* info) {
        const Workbook& book = state_->book;
        const CellSpec& cell = book.Cell(rect_.row1, rect_.col1);
        switch (kind_) {
            case Kind::Application:
                switch (id) {
                    case kScreenUpdating: {
                        result.vt = VT_BOOL;
                        std::lock_guard<std::mutex> lock(state_->mutex);
                        const bool on = state_->screenUpdating.empty() || state_->screenUpdating.back();
                        result.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
                        return S_OK;
                    }
                    case kActiveSheet: return Object(result, book.chartSheet ? Kind::ChartSheet : Kind::Worksheet);
                    case kActiveWorkbook:
                        if (book.noWorkbook) {
                            result.vt = VT_DISPATCH;
                            result.pdispVal = nullptr;
                            return S_OK;
                        }
                        return Object(result, Kind::Workbook);
                    case kSelection:
                        return book.shapeSelected ? Object(result, Kind::Shape)
                                                  : Object(result, Kind::Range, book.selection);
                }
                break;
            case Kind::Workbook: return String(result, book.workbookName);
            case Kind::Worksheet:
                if (id == kName) return String(result, book.sheetName);
                return RangeByAddress(params, result, info);
            case Kind::ChartSheet: return String(result, L"グラフ1");
            case Kind::Shape:
                if (id == kName) return String(result, L"Rectangle 1");
                return Number(result, 10);
            case Kind::RangeRows: return Long(result, rect_.row2 - rect_.row1 + 1);
            case Kind::RangeColumns: return Long(result, rect_.col2 - rect_.col1 + 1);
            case Kind::Font: return Number(result, cell.fontSize);
            case Kind::Border: {
                if (id == kWeight) {
                    auto it = cell.weights.find(borderIndex_);
                    return Long(result, it == cell.weights.end() ? 2 : it->second);
                }
                auto it = cell.borders.find(borderIndex_);
                return Long(result, it == cell.borders.end() ? -4142 : it->second);
            }
            case Kind::Interior: return Long(result, id == kPattern ? cell.interiorPattern : cell.interiorColor);
            case Kind::Borders: {
                if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
                VARIANT index;
                VariantInit(&index);
                if (FAILED(VariantChangeType(&index, &params.rgvarg[0], 0, VT_I4))) return DISP_E_TYPEMISMATCH;
                if (index.lVal < 5 || index.lVal > 12) return DISP_E_EXCEPTION;
                return Object(result, Kind::Border, rect_, index.lVal);
            }
            case Kind::Range: return RangeMember(id, result);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT RangeByAddress(const DISPPARAMS& params, VARIANT& result, EXCEPINFO* info) {
        // Cell1, and Cell2 only as "missing".
        if (params.cArgs < 1 || params.cArgs > 2) return DISP_E_BADPARAMCOUNT;
        if (params.cArgs == 2 && !(params.rgvarg[0].vt == VT_ERROR && params.rgvarg[0].scode == DISP_E_PARAMNOTFOUND)) {
            return DISP_E_TYPEMISMATCH;
        }
        const VARIANT& cell1 = params.rgvarg[params.cArgs - 1];
        Rect rect;
        if (cell1.vt != VT_BSTR || !cell1.bstrVal || !ParseA1(Narrow(cell1.bstrVal), rect)) {
            if (info) {
                *info = EXCEPINFO{};
                info->bstrDescription = SysAllocString(L"Range: bad address");
                info->scode = DISP_E_TYPEMISMATCH;
            }
            return DISP_E_EXCEPTION;
        }
        return Object(result, Kind::Range, rect);
    }

    HRESULT RangeMember(DISPID id, VARIANT& result) {
        const Workbook& book = state_->book;
        const CellSpec& cell = book.Cell(rect_.row1, rect_.col1);
        switch (id) {
            case kRow: return Long(result, rect_.row1);
            case kColumn: return Long(result, rect_.col1);
            case kRows: return Object(result, Kind::RangeRows, rect_);
            case kColumns: return Object(result, Kind::RangeColumns, rect_);
            case kCount: return Long(result, (rect_.row2 - rect_.row1 + 1) * (rect_.col2 - rect_.col1 + 1));
            case kColumnWidth: return Number(result, book.Width(rect_.col1));
            case kRowHeight: return Number(result, book.Height(rect_.row1));
            case kHorizontalAlignment: return Long(result, cell.alignment);
            case kFont: return Object(result, Kind::Font, rect_);
            case kText:
                if (cell.hasDisplay) return String(result, cell.display);
                switch (cell.kind) {
                    case CellSpec::Kind::Empty: return String(result, L"");
                    case CellSpec::Kind::Number: return String(result, GeneralText(cell.number));
                    case CellSpec::Kind::Text: return String(result, cell.text);
                    case CellSpec::Kind::Boolean: return String(result, cell.boolean ? L"TRUE" : L"FALSE");
                    case CellSpec::Kind::Error: return String(result, L"#N/A");
                }
                break;
            case kValue2:
                switch (cell.kind) {
                    case CellSpec::Kind::Empty: return S_OK;  // VT_EMPTY
                    case CellSpec::Kind::Number: return Number(result, cell.number);
                    case CellSpec::Kind::Text: return String(result, cell.text);
                    case CellSpec::Kind::Boolean:
                        result.vt = VT_BOOL;
                        result.boolVal = cell.boolean ? VARIANT_TRUE : VARIANT_FALSE;
                        return S_OK;
                    case CellSpec::Kind::Error:
                        result.vt = VT_ERROR;
                        result.scode = static_cast<SCODE>(0x800A0000u | static_cast<uint32_t>(cell.error));
                        return S_OK;
                }
                break;
            case kBorders: return Object(result, Kind::Borders, rect_);
            case kMergeCells:
                result.vt = VT_BOOL;
                result.boolVal = book.Merged(rect_.row1, rect_.col1) ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            case kMergeArea: return Object(result, Kind::Range, book.MergeArea(rect_.row1, rect_.col1));
            case kLeft: return Number(result, book.LeftPoints(rect_.col1));
            case kTop: return Number(result, book.TopPoints(rect_.row1));
            case kWrapText:
                result.vt = VT_BOOL;
                result.boolVal = cell.wrapText ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            case kShrinkToFit:
                result.vt = VT_BOOL;
                result.boolVal = cell.shrinkToFit ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            case kVerticalAlignment: return Long(result, cell.verticalAlignment);
            case kInterior: return Object(result, Kind::Interior, rect_);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    std::shared_ptr<FakeExcelState> state_;
    Kind kind_;
    Rect rect_;
    int32_t borderIndex_;
};

}  // namespace

bool ParseA1(const std::string& address, Rect& rect) {
    const size_t colon = address.find(':');
    if (colon == std::string::npos) {
        if (!ParseCell(address, rect.row1, rect.col1)) return false;
        rect.row2 = rect.row1;
        rect.col2 = rect.col1;
        return true;
    }
    return ParseCell(address.substr(0, colon), rect.row1, rect.col1) &&
           ParseCell(address.substr(colon + 1), rect.row2, rect.col2) && rect.row1 <= rect.row2 &&
           rect.col1 <= rect.col2;
}

const CellSpec& Workbook::Cell(int32_t row, int32_t col) const {
    static const CellSpec empty;
    auto it = cells.find({row, col});
    return it == cells.end() ? empty : it->second;
}

double Workbook::Width(int32_t col) const {
    auto it = widths.find(col);
    return it == widths.end() ? defaultWidth : it->second;
}

double Workbook::Height(int32_t row) const {
    auto it = heights.find(row);
    return it == heights.end() ? defaultHeight : it->second;
}

double Workbook::LeftPoints(int32_t col) const {
    double left = 0;
    for (int32_t c = 1; c < col; ++c) left += ColumnPoints(Width(c));
    return left;
}

double Workbook::TopPoints(int32_t row) const {
    double top = 0;
    for (int32_t r = 1; r < row; ++r) top += Height(r);
    return top;
}

Rect Workbook::MergeArea(int32_t row, int32_t col) const {
    for (const Rect& m : merges) {
        if (m.Contains(row, col)) return m;
    }
    return Rect{row, col, row, col};
}

bool Workbook::Merged(int32_t row, int32_t col) const {
    for (const Rect& m : merges) {
        if (m.Contains(row, col)) return true;
    }
    return false;
}

Workbook LoadWorkbook(const std::string& fixturePath, const std::string& name) {
    std::ifstream in(fixturePath, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + fixturePath);
    const nlohmann::json all = nlohmann::json::parse(in);
    const nlohmann::json& j = all.at("books").at(name);
    Workbook book;
    book.workbookName = Wide(j.value("workbook", std::string("Book1.xlsx")));
    book.sheetName = Wide(j.value("sheet", std::string("Sheet1")));
    book.chartSheet = j.value("chartSheet", false);
    book.noWorkbook = j.value("noWorkbook", false);
    const std::string selection = j.value("selection", std::string("A1"));
    if (selection == "shape") {
        book.shapeSelected = true;
    } else if (!ParseA1(selection, book.selection)) {
        throw std::runtime_error("bad selection " + selection);
    }
    book.defaultWidth = j.value("defaultWidth", 8.43);
    book.defaultHeight = j.value("defaultHeight", 15.0);
    // Kept in locals: a range-for over items() of a temporary would dangle.
    const nlohmann::json widths = j.value("widths", nlohmann::json::object());
    const nlohmann::json heights = j.value("heights", nlohmann::json::object());
    const nlohmann::json merges = j.value("merges", nlohmann::json::array());
    const nlohmann::json cells = j.value("cells", nlohmann::json::object());
    for (const auto& [letters, width] : widths.items()) {
        Rect r;
        if (!ParseA1(letters + "1", r)) throw std::runtime_error("bad column " + letters);
        book.widths[r.col1] = width.get<double>();
    }
    for (const auto& [row, height] : heights.items()) {
        book.heights[std::stoi(row)] = height.get<double>();
    }
    for (const auto& merge : merges) {
        Rect r;
        if (!ParseA1(merge.get<std::string>(), r)) throw std::runtime_error("bad merge");
        book.merges.push_back(r);
    }
    for (const auto& [address, c] : cells.items()) {
        Rect r;
        if (!ParseA1(address, r)) throw std::runtime_error("bad cell " + address);
        CellSpec cell;
        if (c.contains("error")) {
            cell.kind = CellSpec::Kind::Error;
            cell.error = c.at("error").get<int32_t>();
        } else if (c.contains("value")) {
            const nlohmann::json& v = c.at("value");
            if (v.is_number()) {
                cell.kind = CellSpec::Kind::Number;
                cell.number = v.get<double>();
            } else if (v.is_boolean()) {
                cell.kind = CellSpec::Kind::Boolean;
                cell.boolean = v.get<bool>();
            } else {
                cell.kind = CellSpec::Kind::Text;
                cell.text = Wide(v.get<std::string>());
            }
        }
        if (c.contains("text")) {
            cell.hasDisplay = true;
            cell.display = Wide(c.at("text").get<std::string>());
        }
        cell.alignment = c.value("align", 1);
        cell.fontSize = c.value("fontSize", 11.0);
        const nlohmann::json borders = c.value("borders", nlohmann::json::object());
        for (const auto& [index, style] : borders.items()) {
            cell.borders[std::stoi(index)] = style.get<int32_t>();
        }
        const nlohmann::json weights = c.value("weights", nlohmann::json::object());
        for (const auto& [index, weight] : weights.items()) {
            cell.weights[std::stoi(index)] = weight.get<int32_t>();
        }
        cell.wrapText = c.value("wrapText", false);
        cell.shrinkToFit = c.value("shrinkToFit", false);
        cell.verticalAlignment = c.value("verticalAlignment", -4107);
        cell.interiorPattern = c.value("interiorPattern", -4142);
        cell.interiorColor = c.value("interiorColor", 0xFFFFFF);
        book.cells[{r.row1, r.col1}] = cell;
    }
    return book;
}

Workbook GeneratedWorkbook(int32_t rows, int32_t cols) {
    Workbook book;
    book.workbookName = L"生成.xlsx";
    book.selection = Rect{1, 1, rows, cols};
    for (int32_t r = 1; r <= rows; ++r) {
        for (int32_t c = 1; c <= cols; ++c) {
            CellSpec cell;
            if (c % 2) {
                cell.kind = CellSpec::Kind::Number;
                cell.number = r * 100 + c + 0.5;
            } else {
                cell.kind = CellSpec::Kind::Text;
                cell.text = L"機器" + std::to_wstring(r);
            }
            cell.borders = {{8, 1}, {9, 1}, {7, 1}, {10, 1}};
            book.cells[{r, c}] = cell;
        }
    }
    return book;
}

void FakeExcelState::Record(const std::string& entry) {
    std::lock_guard<std::mutex> lock(mutex);
    log.push_back(entry);
}

std::vector<std::string> FakeExcelState::TakeLog() {
    std::lock_guard<std::mutex> lock(mutex);
    return std::exchange(log, {});
}

IDispatch* NewFakeApplication(std::shared_ptr<FakeExcelState> state) {
    return new FakeObject(std::move(state), Kind::Application);
}

}  // namespace tabulon::fake
