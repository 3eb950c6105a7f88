// Workbook parts read as a stream of elements (expat), for the parts that grow
// with the sheet: nothing of a part is kept but what the handler keeps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xlsx/xlsx_archive.h"

namespace tabulon::xlsx {

// Receives a part's elements in document order. Names are local: a prefix such
// as "x:" is dropped, so parts written with prefixes read like plain ones.
class XmlStreamHandler {
public:
    virtual ~XmlStreamHandler() = default;
    // attributes: name, value, name, value, ..., nullptr; names as written.
    virtual void Start(const char* name, const char** attributes) = 0;
    virtual void End(const char* name) = 0;
    // Character data, in as many pieces as the parser likes.
    virtual void Text(std::string_view text) = 0;

    // Ends the stream after the current element; the rest of the part is not read.
    void StopStream() { stopped_ = true; }
    bool Stopped() const { return stopped_; }

private:
    bool stopped_ = false;
};

// Streams part through handler. Returns false when the archive has no such
// part. Throws TabulonError naming the part and the line and column where the
// XML goes wrong, or what the handler threw. Document type declarations are
// refused: workbooks have none, and their entities could expand without bound.
bool StreamPart(XlsxArchive& archive, const std::string& part, XmlStreamHandler& handler);

// The value of the attribute of that exact name, or nullptr.
const char* FindAttribute(const char** attributes, const char* name);

// Gathers the text of a string item (<si>, <is>) from the events inside it:
// its <t>, or the <t> of each rich-text run (the first in each run) joined;
// phonetic guides (<rPh>) are not part of the text. Depths count from the
// item: its children are at depth 1.
class StringItemReader {
public:
    void Begin();
    void Start(const char* name, size_t depth, const char** attributes = nullptr);
    void End(size_t depth);
    void Text(std::string_view text, size_t depth);
    // The text, its _xHHHH_ escapes decoded.
    std::string Finish() const;
    // The font size of the rich-text runs when every run gives one and they all
    // agree; 0 otherwise, or for plain text.
    double RunSize() const { return anyRun_ && sizesAgree_ ? runSize_ : 0; }

private:
    std::string text_;
    size_t textDepth_ = 0;  // depth of the text being gathered, 0 when none
    bool inRun_ = false;
    bool runTaken_ = false;
    bool anyRun_ = false, sizesAgree_ = true, runSized_ = false;
    double runSize_ = 0;
};

// Attribute values read as the tree parser reads them: integers with optional
// sign, "0x" hex or decimal digits, clamped to the type's range (an empty or
// unreadable value is 0); reals as strtod reads them; flags true for "1",
// "true" and "on". A missing attribute (nullptr) gives the fallback.
int32_t IntValue(const char* value, int32_t fallback = 0);
uint32_t UIntValue(const char* value, uint32_t fallback = 0);
double DoubleValue(const char* value, double fallback = 0);
bool FlagValue(const char* value);

// The value of the attribute whose local name is local ("r:id" matches "id"),
// unprefixed names first; nullptr when there is none.
const char* FindAttributeLocal(const char** attributes, const char* local);

}  // namespace tabulon::xlsx
