// Excel automation for a capture: late-bound IDispatch calls, by Excel's
// dispatch ids where they are fixed and by name for the rest.
#include "platform/excel_automation_win.h"

#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "core/cell_table.h"
#include "core/dxf_number.h"
#include "core/errors.h"
#include "platform/busy_retry_filter_win.h"
#include "platform/com_resource.h"
#include "platform/win_text.h"

namespace tabulon {

namespace {

// Excel uses one dispatch id per member name across its whole object model, so
// an object without the member (a shape as the selection) answers
// DISP_E_MEMBERNOTFOUND rather than some other member.
constexpr DISPID kRow = 257, kColumn = 240, kRows = 258, kColumns = 241, kCount = 118, kColumnWidth = 242,
                 kRowHeight = 272, kHorizontalAlignment = 136, kFont = 146, kSize = 104, kText = 138, kValue2 = 1388,
                 kBorders = 435, kItem = DISPID_VALUE, kLineStyle = 119, kMergeCells = 208, kMergeArea = 1385,
                 kLeft = 127, kTop = 126;

// Top, bottom, left and right edge, diagonal down, diagonal up: the order of
// SheetCellReading::borderLineStyles.
constexpr int32_t kBorderIndexes[6] = {8, 9, 7, 10, 5, 6};

constexpr int32_t kPatternSolid = 1;

using Dispatch = ComPtr<IDispatch>;

std::string HexCode(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

[[noreturn]] void Fail(const std::string& member, HRESULT hr) {
    throw TabulonError("Excel: " + member + " failed (" + HexCode(hr) + ")");
}

// The locale's decimal separator for numbers shown as the user's Excel shows them.
char LocaleDecimalSeparator() {
    wchar_t text[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) > 0 && text[0] > 0 && text[0] < 0x80 &&
        text[1] == 0) {
        return static_cast<char>(text[0]);
    }
    return '.';
}

class ExcelSession final : public SpreadsheetSession {
public:
    explicit ExcelSession(Dispatch application)
        : app_(std::move(application)), lcid_(GetUserDefaultLCID()), separator_(LocaleDecimalSeparator()) {}

    void SetScreenUpdating(bool on) override {
        if (screenUpdatingId_ == DISPID_UNKNOWN) screenUpdatingId_ = IdOf(app_, L"ScreenUpdating", "Application");
        VARIANTARG value;
        VariantInit(&value);
        value.vt = VT_BOOL;
        value.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{&value, &named, 1, 1};
        Invoke(app_, screenUpdatingId_, "Application.ScreenUpdating", DISPATCH_PROPERTYPUT, params, nullptr);
    }

    // The sheet comes first whichever name is asked for first, so that a chart
    // sheet fails before anything else is read.
    std::string WorkbookName() override {
        Sheet();
        Dispatch book = NamedObject(app_, L"ActiveWorkbook", "Application.ActiveWorkbook");
        return TextOf(NamedGet(book, L"Name", "Workbook.Name"), "Workbook.Name");
    }

    std::string WorksheetName() override {
        return TextOf(NamedGet(Sheet(), L"Name", "Worksheet.Name"), "Worksheet.Name");
    }

    SheetRange Selection() override {
        Dispatch selection = NamedObject(app_, L"Selection", "Application.Selection");
        SheetRange range;
        range.row = Int32Of(Get(selection, kRow, "Selection.Row"), "Selection.Row");
        range.col = Int32Of(Get(selection, kColumn, "Selection.Column"), "Selection.Column");
        range.rows = Int32Of(Get(Object(selection, kRows, "Selection.Rows"), kCount, "Rows.Count"), "Rows.Count");
        range.cols =
            Int32Of(Get(Object(selection, kColumns, "Selection.Columns"), kCount, "Columns.Count"), "Columns.Count");
        return range;
    }

    // What is the same for a whole column (its width, its left edge) or row
    // (its height, its top edge) is read once per capture; each intermediate
    // object (the cell's Borders, its Interior, its MergeArea) is fetched once
    // per cell; a border's weight only when it has a line, the fill colour only
    // under a solid pattern, and the merged area only for a merged cell.
    SheetCellReading ReadCell(int32_t row, int32_t col) override {
        Dispatch& sheet = Sheet();
        const std::string address = ColumnLetters(col) + std::to_string(row);
        UniqueVariant arg;
        arg.vt = VT_BSTR;
        arg.bstrVal = SysAllocString(Utf8ToWide(address).c_str());
        if (!arg.bstrVal) throw TabulonError("Excel: out of memory");
        DISPPARAMS params{&arg, nullptr, 1, 0};  // Cell1 only; Cell2 omitted
        UniqueVariant result;
        Invoke(sheet, rangeId_, "Worksheet.Range", DISPATCH_PROPERTYGET | DISPATCH_METHOD, params, result.put());
        const Dispatch cell = ObjectOf(result, "Worksheet.Range(" + address + ")");
        ResolveLookIds(cell);

        SheetCellReading r;
        LineFacts& column = FactsOf(columns_, col, cell, kColumnWidth, "Range.ColumnWidth");
        LineFacts& line = FactsOf(rows_, row, cell, kRowHeight, "Range.RowHeight");
        r.columnWidth = column.size;
        r.rowHeight = line.size;
        r.horizontalAlignment =
            Int32Of(Get(cell, kHorizontalAlignment, "Range.HorizontalAlignment"), "Range.HorizontalAlignment");
        r.fontSize = DoubleOf(Get(Object(cell, kFont, "Range.Font"), kSize, "Font.Size"), "Font.Size");
        r.text = TextOf(Get(cell, kText, "Range.Text"), "Range.Text of " + address);
        r.valueText = ValueText(Get(cell, kValue2, "Range.Value2"), "Range.Value2 of " + address);
        r.wrapText = BoolOf(Get(cell, wrapTextId_, "Range.WrapText"), "Range.WrapText");
        r.shrinkToFit = BoolOf(Get(cell, shrinkToFitId_, "Range.ShrinkToFit"), "Range.ShrinkToFit");
        r.verticalAlignment =
            Int32Of(Get(cell, verticalAlignmentId_, "Range.VerticalAlignment"), "Range.VerticalAlignment");
        const Dispatch borders = Object(cell, kBorders, "Range.Borders");
        for (size_t k = 0; k < 6; ++k) {
            const Dispatch border = BorderItem(borders, kBorderIndexes[k]);
            r.borderLineStyles[k] = Int32Of(Get(border, kLineStyle, "Border.LineStyle"), "Border.LineStyle");
            if (r.borderLineStyles[k] != SheetCellReading::kLineStyleNone) {
                r.borderWeights[k] = Int32Of(Get(border, weightId_, "Border.Weight"), "Border.Weight");
            }
        }
        const Dispatch interior = Object(cell, interiorId_, "Range.Interior");
        r.interiorPattern = Int32Of(Get(interior, patternId_, "Interior.Pattern"), "Interior.Pattern");
        if (r.interiorPattern == kPatternSolid) {
            r.interiorColor = Int32Of(Get(interior, colorId_, "Interior.Color"), "Interior.Color");
        }
        r.mergeCells = BoolOf(Get(cell, kMergeCells, "Range.MergeCells"), "Range.MergeCells");
        if (r.mergeCells) {
            const Dispatch area = Object(cell, kMergeArea, "Range.MergeArea");
            r.mergeRows = Int32Of(Get(Object(area, kRows, "MergeArea.Rows"), kCount, "Rows.Count"), "Rows.Count");
            r.mergeCols =
                Int32Of(Get(Object(area, kColumns, "MergeArea.Columns"), kCount, "Columns.Count"), "Columns.Count");
            r.mergeLeft = DoubleOf(Get(area, kLeft, "MergeArea.Left"), "MergeArea.Left");
            r.mergeTop = DoubleOf(Get(area, kTop, "MergeArea.Top"), "MergeArea.Top");
        } else {
            // A cell that is not merged is its own area: its column's left edge, its row's top.
            r.mergeLeft = StartOf(cell, column, kLeft, "Range.Left");
            r.mergeTop = StartOf(cell, line, kTop, "Range.Top");
        }
        return r;
    }

private:
    // A call Excel rejects as busy is tried again: by COM on the message
    // filter's word when the call crossed processes, here otherwise, within
    // one wait in all. After a wait that ended busy, the next calls (putting
    // screen updating back on the way out) get a short one.
    template <typename Call>
    HRESULT Patiently(const std::string& member, Call call) {
        const long giveUps = filter_.GiveUps();
        HRESULT hr = call();
        if (IsBusyRejection(hr) && filter_.GiveUps() == giveUps) {
            const ULONGLONG deadline = GetTickCount64() + (busy_ ? kBusyRetryMs / 5 : kBusyRetryMs);
            while (IsBusyRejection(hr) && GetTickCount64() < deadline) {
                PumpMessagesFor(100);
                hr = call();
            }
        }
        if (IsBusyRejection(hr)) {
            busy_ = true;
            throw SpreadsheetBusyError("Excel: " + member + " was rejected as busy (" + HexCode(hr) + ")");
        }
        return hr;
    }

    void Invoke(const Dispatch& object, DISPID id, const std::string& member, WORD flags, DISPPARAMS& params,
                VARIANT* result) {
        EXCEPINFO info{};
        UINT argError = 0;
        const HRESULT hr = Patiently(member, [&] {
            info = EXCEPINFO{};
            return object->Invoke(id, IID_NULL, lcid_, flags, &params, result, &info, &argError);
        });
        if (SUCCEEDED(hr)) return;
        std::string why;
        if (hr == DISP_E_EXCEPTION) {
            if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
            const UniqueBstr source(info.bstrSource), description(info.bstrDescription), helpFile(info.bstrHelpFile);
            if (description) why = ": " + WideToUtf8(description.get());
        }
        throw TabulonError("Excel: " + member + " failed (" + HexCode(hr) + ")" + why);
    }

    DISPID IdOf(const Dispatch& object, const wchar_t* name, const char* owner) {
        std::wstring copy(name);
        LPOLESTR names[1] = {copy.data()};
        DISPID id = DISPID_UNKNOWN;
        const std::string member = std::string(owner) + "." + WideToUtf8(name);
        const HRESULT hr = Patiently(member, [&] { return object->GetIDsOfNames(IID_NULL, names, 1, lcid_, &id); });
        if (FAILED(hr)) Fail(member, hr);
        return id;
    }

    // A property get without arguments, its result left in the variant.
    void GetInto(const Dispatch& object, DISPID id, const std::string& member, UniqueVariant& result) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        Invoke(object, id, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, none, result.put());
    }

    UniqueVariant Get(const Dispatch& object, DISPID id, const std::string& member) {
        UniqueVariant result;
        GetInto(object, id, member, result);
        return result;
    }

    UniqueVariant NamedGet(const Dispatch& object, const wchar_t* name, const std::string& member) {
        return Get(object, IdOf(object, name, member.substr(0, member.find('.')).c_str()), member);
    }

    Dispatch Object(const Dispatch& object, DISPID id, const std::string& member) {
        UniqueVariant result;
        GetInto(object, id, member, result);
        return ObjectOf(result, member);
    }

    Dispatch NamedObject(const Dispatch& object, const wchar_t* name, const std::string& member) {
        UniqueVariant result = NamedGet(object, name, member);
        return ObjectOf(result, member);
    }

    Dispatch BorderItem(const Dispatch& borders, int32_t index) {
        VARIANTARG arg;
        VariantInit(&arg);
        arg.vt = VT_I4;
        arg.lVal = index;
        DISPPARAMS params{&arg, nullptr, 1, 0};
        UniqueVariant result;
        const std::string member = "Borders(" + std::to_string(index) + ")";
        Invoke(borders, kItem, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, params, result.put());
        return ObjectOf(result, member);
    }

    // Nothing (no workbook open, no selection) counts as a failure.
    static Dispatch ObjectOf(const UniqueVariant& result, const std::string& member) {
        Dispatch object;
        if (result.vt == VT_DISPATCH && result.pdispVal) {
            object = Dispatch::Share(result.pdispVal);
        } else if (result.vt == VT_UNKNOWN && result.punkVal) {
            object = ComPtr<IUnknown>::Share(result.punkVal).Query<IDispatch>();
        }
        if (!object) throw TabulonError("Excel: " + member + " gave no object");
        return object;
    }

    // The active sheet, taken once: a worksheet is what answers to Range.
    Dispatch& Sheet() {
        if (!sheet_) {
            Dispatch sheet = NamedObject(app_, L"ActiveSheet", "Application.ActiveSheet");
            std::wstring name(L"Range");
            LPOLESTR names[1] = {name.data()};
            DISPID id = DISPID_UNKNOWN;
            const HRESULT hr =
                Patiently("Worksheet.Range", [&] { return sheet->GetIDsOfNames(IID_NULL, names, 1, lcid_, &id); });
            if (FAILED(hr)) {
                throw TabulonError("Excel: the active sheet is not a worksheet (" + HexCode(hr) + ")");
            }
            sheet_ = std::move(sheet);
            rangeId_ = id;
        }
        return sheet_;
    }

    void Convert(const UniqueVariant& value, VARTYPE type, UniqueVariant& out, const std::string& member) {
        if (value.vt == VT_ERROR) throw TabulonError("Excel: " + member + " is an error value");
        const HRESULT hr = VariantChangeTypeEx(out.put(), const_cast<UniqueVariant*>(&value), lcid_, 0, type);
        if (FAILED(hr)) Fail(member + " as " + std::to_string(type), hr);
    }

    double DoubleOf(const UniqueVariant& value, const std::string& member) {
        UniqueVariant out;
        Convert(value, VT_R8, out, member);
        return out.dblVal;
    }

    // Rounds halves to even, as the conversion of a number to a whole number does.
    int32_t Int32Of(const UniqueVariant& value, const std::string& member) {
        UniqueVariant out;
        Convert(value, VT_I4, out, member);
        return out.lVal;
    }

    bool BoolOf(const UniqueVariant& value, const std::string& member) {
        UniqueVariant out;
        Convert(value, VT_BOOL, out, member);
        return out.boolVal != VARIANT_FALSE;
    }

    std::string TextOf(const UniqueVariant& value, const std::string& member) {
        if (value.vt == VT_EMPTY) return std::string();
        if (value.vt == VT_BSTR) return Bstr(value.bstrVal);
        UniqueVariant out;
        Convert(value, VT_BSTR, out, member);
        return Bstr(out.bstrVal);
    }

    // The underlying value as the user's locale writes it: a number in general
    // format, True or False, a text as it is.
    std::string ValueText(const UniqueVariant& value, const std::string& member) {
        switch (value.vt) {
            case VT_EMPTY: return std::string();
            case VT_BSTR: return Bstr(value.bstrVal);
            case VT_BOOL: return value.boolVal != VARIANT_FALSE ? "True" : "False";
            case VT_R8:
            case VT_R4:
            case VT_I1:
            case VT_I2:
            case VT_I4:
            case VT_I8:
            case VT_INT:
            case VT_UI1:
            case VT_UI2:
            case VT_UI4:
            case VT_UI8:
            case VT_UINT:
            case VT_CY:
            case VT_DECIMAL:
            case VT_DATE: return DxfNumber(DoubleOf(value, member), separator_);
            case VT_ERROR: throw TabulonError("Excel: " + member + " is an error value");
            default:
                throw TabulonError("Excel: " + member + " cannot be read as text (type " + std::to_string(value.vt) +
                                   ")");
        }
    }

    static std::string Bstr(BSTR text) { return text ? WideToUtf8(std::wstring_view(text, SysStringLen(text))) : ""; }

    // A column's width and left edge, or a row's height and top edge.
    struct LineFacts {
        double size = 0;
        std::optional<double> start;  // read only when a cell of the line is not merged
    };

    // The facts of a column or row, its size read from the cell the first time.
    LineFacts& FactsOf(std::map<int32_t, LineFacts>& known, int32_t index, const Dispatch& cell, DISPID sizeId,
                       const char* sizeMember) {
        auto found = known.find(index);
        if (found != known.end()) return found->second;
        LineFacts facts;
        facts.size = DoubleOf(Get(cell, sizeId, sizeMember), sizeMember);
        return known.emplace(index, facts).first->second;
    }

    double StartOf(const Dispatch& cell, LineFacts& line, DISPID startId, const char* startMember) {
        if (!line.start) line.start = DoubleOf(Get(cell, startId, startMember), startMember);
        return *line.start;
    }

    // The members of the look, by name once per session.
    void ResolveLookIds(const Dispatch& cell) {
        if (wrapTextId_ != DISPID_UNKNOWN) return;
        shrinkToFitId_ = IdOf(cell, L"ShrinkToFit", "Range");
        verticalAlignmentId_ = IdOf(cell, L"VerticalAlignment", "Range");
        interiorId_ = IdOf(cell, L"Interior", "Range");
        const Dispatch borders = Object(cell, kBorders, "Range.Borders");
        weightId_ = IdOf(BorderItem(borders, kBorderIndexes[0]), L"Weight", "Border");
        const Dispatch interior = Object(cell, interiorId_, "Range.Interior");
        patternId_ = IdOf(interior, L"Pattern", "Interior");
        colorId_ = IdOf(interior, L"Color", "Interior");
        wrapTextId_ = IdOf(cell, L"WrapText", "Range");
    }

    ScopedBusyRetryFilter filter_;
    bool busy_ = false;
    Dispatch app_;
    Dispatch sheet_;
    std::map<int32_t, LineFacts> columns_;
    std::map<int32_t, LineFacts> rows_;
    DISPID wrapTextId_ = DISPID_UNKNOWN, shrinkToFitId_ = DISPID_UNKNOWN, verticalAlignmentId_ = DISPID_UNKNOWN,
           interiorId_ = DISPID_UNKNOWN, weightId_ = DISPID_UNKNOWN, patternId_ = DISPID_UNKNOWN,
           colorId_ = DISPID_UNKNOWN;
    DISPID rangeId_ = DISPID_UNKNOWN;
    DISPID screenUpdatingId_ = DISPID_UNKNOWN;
    LCID lcid_;
    char separator_;
};

}  // namespace

std::unique_ptr<SpreadsheetSession> AttachToSpreadsheet(const std::string& progId) {
    const std::wstring name = Utf8ToWide(progId);
    CLSID clsid;
    if (name.empty() || FAILED(CLSIDFromProgID(name.c_str(), &clsid))) return nullptr;  // not registered
    ComPtr<IUnknown> running;
    HRESULT hr = GetActiveObject(clsid, nullptr, running.put());
    if (hr == MK_E_UNAVAILABLE) return nullptr;
    if (FAILED(hr) || !running) Fail("GetActiveObject(" + progId + ")", hr);
    Dispatch app = running.Query<IDispatch>(&hr);
    if (FAILED(hr) || !app) Fail(progId + " as IDispatch", hr);
    return std::make_unique<ExcelSession>(std::move(app));
}

}  // namespace tabulon
