// The streaming JSON reader: what it hands on, where it places a mistake, and
// that the pieces the input comes in change neither.
#include "core/json_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/capture_file.h"
#include "core/errors.h"
#include "core/file_io.h"

namespace tabulon {
namespace {

using namespace std::string_literals;

// Every event as a word, one after another.
class Recorder : public JsonHandler {
public:
    std::string log;
    void StartObject() override { log += "{ "; }
    void EndObject() override { log += "} "; }
    void StartArray() override { log += "[ "; }
    void EndArray() override { log += "] "; }
    void Key(std::string_view name) override { log += "key:" + std::string(name) + " "; }
    void Null() override { log += "null "; }
    void Boolean(bool value) override { log += value ? "true " : "false "; }
    void Integer(int64_t value) override { log += "int:" + std::to_string(value) + " "; }
    void Unsigned(uint64_t value) override { log += "uint:" + std::to_string(value) + " "; }
    void Float(double value, std::string_view written) override {
        char shown[40];
        std::snprintf(shown, sizeof shown, "%.17g", value);
        log += "float:" + std::string(shown) + "(" + std::string(written) + ") ";
    }
    void String(std::string_view text) override { log += "str:" + std::string(text) + " "; }
};

// The log, or the message of the mistake.
std::string Read(const JsonInput& input) {
    Recorder recorder;
    try {
        ReadJson(input, recorder, "test file");
    } catch (const TabulonError& e) {
        return e.what();
    }
    return recorder.log;
}

std::string ReadWhole(std::string_view text) {
    return Read(JsonText(text));
}

const std::vector<size_t> kPieceSizes = {1, 2, 3, 5, 64};

TEST(JsonReader, HandsOnEveryPartInOrder) {
    const struct {
        std::string json;
        std::string log;
    } cases[] = {
        {R"({"a": [1, -2, 3.5, true, false, null], "b": {}})",
         "{ key:a [ uint:1 int:-2 float:3.5(3.5) true false null ] key:b { } } "},
        {"\xEF\xBB\xBF [ ]\r\n\t", "[ ] "},  // byte order mark and every blank
        {R"("a\"\\\/\b\f\n\r\tz")", "str:a\"\\/\b\f\n\r\tz "},
        {R"(["\u00e9\u6a5f", "\ud83d\ude00", "機器表"])", "[ str:é機 str:\xF0\x9F\x98\x80 str:機器表 ] "},
        // Whole numbers beyond 64 bits, fractions and exponents are floats as written.
        {"[0, -0, 18446744073709551615, 18446744073709551616, -9223372036854775808, -9223372036854775809, 1E2, "
         "2e-400, 3.0]",
         "[ uint:0 int:0 uint:18446744073709551615 float:1.8446744073709552e+19(18446744073709551616) "
         "int:-9223372036854775808 float:-9.2233720368547758e+18(-9223372036854775809) float:100(1E2) "
         "float:0(2e-400) float:3(3.0) ] "},
        {std::string(3000, '[') + std::string(3000, ']'),
         [] {
             std::string log;
             for (int i = 0; i < 3000; ++i) log += "[ ";
             for (int i = 0; i < 3000; ++i) log += "] ";
             return log;
         }()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadWhole(c.json), c.log) << c.json;
        for (size_t size : kPieceSizes) {
            EXPECT_EQ(Read(JsonText(c.json, size)), c.log) << c.json << " in pieces of " << size;
        }
    }
}

TEST(JsonReader, PlacesEachMistakeByLineAndCharacter) {
    const struct {
        std::string json;
        std::string message;  // after "test file: "
    } cases[] = {
        {"", "line 1, column 1: syntax error - unexpected end of input; expected a value"},
        {"{\n  \"a\": @\n}", "line 2, column 8: syntax error - unexpected '@'; expected a value"},
        {R"(["機器表", x])", "line 1, column 9: syntax error - unexpected 'x'; expected a value"},
        {R"({"a" 1})", "line 1, column 6: syntax error - unexpected '1'; expected ':'"},
        {R"({"a": 1,})", "line 1, column 9: syntax error - unexpected '}'; expected a key"},
        {R"({1})", "line 1, column 2: syntax error - unexpected '1'; expected a key or '}'"},
        {"[1 2]", "line 1, column 4: syntax error - unexpected '2'; expected ',' or ']'"},
        {"{} {}", "line 1, column 4: syntax error - unexpected '{'; expected the end of the input"},
        {"[tru]", "line 1, column 5: syntax error - invalid literal"},
        {"[01]", "line 1, column 3: syntax error - unexpected '1'; expected ',' or ']'"},
        {"[-]", "line 1, column 3: syntax error - invalid number; expected a digit after '-'"},
        {"[1.]", "line 1, column 4: syntax error - invalid number; expected a digit after '.'"},
        {"[1e+]", "line 1, column 5: syntax error - invalid number; expected a digit in the exponent"},
        {"[\n 1e999]", "line 2, column 6: syntax error - number overflow parsing '1e999'"},
        {"[\"a", "line 1, column 4: syntax error - missing closing quote"},
        {"[\"é\xff\"]", "line 1, column 4: syntax error - invalid string: ill-formed UTF-8 byte"},
        {"[\"\xe6\x9f\"]", "line 1, column 4: syntax error - invalid string: ill-formed UTF-8 byte"},
        {"[\"\xc0\xaf\"]", "line 1, column 3: syntax error - invalid string: ill-formed UTF-8 byte"},  // overlong
        {"[\"\xed\xa0\x80\"]", "line 1, column 4: syntax error - invalid string: ill-formed UTF-8 byte"},
        {"[\"a\tb\"]", "line 1, column 4: syntax error - invalid string: control character U+0009 must be escaped"},
        {R"(["\x"])", "line 1, column 4: syntax error - invalid string: forbidden character after backslash"},
        {R"(["\u12G4"])", "line 1, column 7: syntax error - invalid string: '\\u' must be followed by 4 hex digits"},
        {"[\"\\udc00\0\"]"s,  // the place after the escape, whatever follows
         "line 1, column 9: syntax error - invalid string: surrogate U+DC00..U+DFFF must follow U+D800..U+DBFF"},
        {R"(["\udc00"])",
         "line 1, column 9: syntax error - invalid string: surrogate U+DC00..U+DFFF must follow U+D800..U+DBFF"},
        {R"(["\ud800x"])",
         "line 1, column 9: syntax error - invalid string: surrogate U+D800..U+DBFF must be followed by "
         "U+DC00..U+DFFF"},
        {"\xEF\xBB", "line 1, column 3: syntax error - a byte order mark must be EF BB BF"},
        // A NUL byte is named wherever it stands.
        {"[1]\0"s, "line 1, column 4: syntax error - a NUL byte is not allowed in a test file"},
        {"[\"a\0\"]"s, "line 1, column 4: syntax error - a NUL byte is not allowed in a test file"},
        {"[tr\0e]"s, "line 1, column 4: syntax error - a NUL byte is not allowed in a test file"},
    };
    for (const auto& c : cases) {
        const std::string expected = "test file: " + c.message;
        EXPECT_EQ(ReadWhole(c.json), expected) << c.json;
        for (size_t size : kPieceSizes) {
            EXPECT_EQ(Read(JsonText(c.json, size)), expected) << c.json << " in pieces of " << size;
        }
    }
}

// A capture file far larger than one piece of the file reader, with wide texts
// and escapes across the pieces, reads from disk as it parses from memory.
TEST(JsonReader, ACaptureReadFromDiskIsTheCaptureParsedWhole) {
    CellTable table;
    table.Replace(400, 12);
    GridTexts texts;
    texts.Resize(13, 401);
    for (int32_t r = 1; r <= 400; ++r) {
        for (int32_t c = 1; c <= 12; ++c) {
            TXlsxCellAttr& cell = table.At(r, c);
            cell.rowH = static_cast<uint16_t>(r);
            cell.colW = static_cast<uint16_t>(c);
            cell.str = "系統 \"" + std::to_string(r * c) + "\"\n予備";
            texts.Set(c, r, c % 5 == 0 ? cell.str + " 改" : cell.str);
        }
    }
    const std::string json = WriteCaptureFile(table, texts, ScaleSettings{});
    ASSERT_GT(json.size(), 4u << 16);
    const std::string path = (std::filesystem::temp_directory_path() / "tabulon-json-reader-test.json").string();
    AtomicWriteFile(path, json);
    std::vector<std::string> warnings;
    const Capture fromDisk = ReadCaptureFile(path, &warnings);
    std::filesystem::remove(path);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(fromDisk.table.cells, table.cells);
    EXPECT_EQ(WriteCaptureFile(fromDisk.table, fromDisk.texts, ScaleSettings{}), json);
    for (size_t size : {1ul, 7ul}) {
        EXPECT_EQ(WriteCaptureFile(ParseCaptureFile(JsonText(json, size), 0).table, texts, ScaleSettings{}), json);
    }
}

}  // namespace
}  // namespace tabulon
