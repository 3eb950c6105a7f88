#include "xlsx/xlsx_stream.h"

#include <expat.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

#include "core/errors.h"
#include "xlsx/xlsx_xml.h"

namespace tabulon::xlsx {

namespace {

// What the callbacks share. Exceptions must not cross the C parser's frames: a
// callback that throws stops the parser, and the exception is thrown again once
// the parser has returned.
struct Session {
    XML_Parser parser;
    XmlStreamHandler& handler;
    std::exception_ptr failure;
    bool doctype = false;
};

template <typename Call>
void Guarded(Session& s, Call&& call) {
    if (s.failure) return;
    try {
        call();
    } catch (...) {
        s.failure = std::current_exception();
        XML_StopParser(s.parser, XML_FALSE);
        return;
    }
    if (s.handler.Stopped()) XML_StopParser(s.parser, XML_FALSE);
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& s = *static_cast<Session*>(data);
    Guarded(s, [&] { s.handler.Start(LocalName(name), attributes); });
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
    auto& s = *static_cast<Session*>(data);
    Guarded(s, [&] { s.handler.End(LocalName(name)); });
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto& s = *static_cast<Session*>(data);
    Guarded(s, [&] { s.handler.Text(std::string_view(text, static_cast<size_t>(length))); });
}

void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto& s = *static_cast<Session*>(data);
    s.doctype = true;
    XML_StopParser(s.parser, XML_FALSE);
}

}  // namespace

bool StreamPart(XlsxArchive& archive, const std::string& part, XmlStreamHandler& handler) {
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate(nullptr), XML_ParserFree);
    if (!parser) throw std::bad_alloc();
    Session session{parser.get(), handler, nullptr};
    XML_SetUserData(parser.get(), &session);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);

    auto fail = [&]() {
        if (session.failure) std::rethrow_exception(session.failure);
        const std::string reason = session.doctype ? "a document type declaration, which workbook parts do not have"
                                                   : XML_ErrorString(XML_GetErrorCode(parser.get()));
        throw TabulonError("part " + part + " is not well-formed XML: line " +
                           std::to_string(XML_GetCurrentLineNumber(parser.get())) + ", column " +
                           std::to_string(XML_GetCurrentColumnNumber(parser.get()) + 1) + ": " + reason);
    };
    // Thrown out of the archive's stream to stop inflating once the handler is done.
    struct Done {};
    bool any = false;
    try {
        const bool found = archive.Stream(part, [&](std::string_view piece) {
            any = any || !piece.empty();
            if (XML_Parse(parser.get(), piece.data(), static_cast<int>(piece.size()), XML_FALSE) ==
                XML_STATUS_ERROR) {
                if (handler.Stopped() && !session.failure && !session.doctype) throw Done{};
                fail();
            }
        });
        if (!found) return false;
    } catch (const Done&) {
        return true;
    }
    if (handler.Stopped()) return true;
    if (!any) throw TabulonError("part " + part + " is empty");
    if (XML_Parse(parser.get(), nullptr, 0, XML_TRUE) == XML_STATUS_ERROR) {
        if (handler.Stopped() && !session.failure && !session.doctype) return true;
        fail();
    }
    return true;
}

const char* FindAttribute(const char** attributes, const char* name) {
    for (const char** a = attributes; *a; a += 2) {
        if (std::strcmp(a[0], name) == 0) return a[1];
    }
    return nullptr;
}

void StringItemReader::Begin() {
    text_.clear();
    textDepth_ = 0;
    inRun_ = runTaken_ = false;
    anyRun_ = runSized_ = false;
    sizesAgree_ = true;
    runSize_ = 0;
}

void StringItemReader::Start(const char* name, size_t depth, const char** attributes) {
    if (depth == 1) {
        inRun_ = std::strcmp(name, "r") == 0;
        runTaken_ = false;
        if (inRun_) anyRun_ = true, runSized_ = false;
        if (std::strcmp(name, "t") == 0) {
            textDepth_ = 2;
            sizesAgree_ = false;  // plain text beside runs takes the cell's own size
        }
    } else if (depth == 3 && inRun_ && std::strcmp(name, "sz") == 0) {
        const double size = DoubleValue(attributes ? FindAttribute(attributes, "val") : nullptr, 0);
        if (!(size > 0) || (runSize_ > 0 && size != runSize_)) sizesAgree_ = false;
        runSize_ = size;
        runSized_ = true;
    } else if (depth == 2 && inRun_ && !runTaken_ && std::strcmp(name, "t") == 0) {
        runTaken_ = true;
        textDepth_ = 3;
    }
}

void StringItemReader::End(size_t depth) {
    if (textDepth_ == depth + 1) textDepth_ = 0;
    if (depth == 1 && inRun_) {
        if (!runSized_) sizesAgree_ = false;  // a run in the cell's own size
        inRun_ = false;
    }
}

void StringItemReader::Text(std::string_view text, size_t depth) {
    if (textDepth_ != 0 && depth == textDepth_) text_.append(text);
}

std::string StringItemReader::Finish() const {
    return DecodeEscapes(text_.c_str());
}

namespace {

// Digits into magnitude, saturating at limit; negative set when a '-' leads.
uint64_t ReadInteger(const char* s, uint64_t limit, bool& negative) {
    while (*s == ' ' || *s == '\t' || *s == '\r' || *s == '\n') ++s;
    negative = *s == '-';
    s += (*s == '+' || *s == '-');
    uint64_t result = 0;
    if (s[0] == '0' && (s[1] | ' ') == 'x') {
        for (s += 2;; ++s) {
            int digit;
            if (*s >= '0' && *s <= '9')
                digit = *s - '0';
            else if ((*s | ' ') >= 'a' && (*s | ' ') <= 'f')
                digit = (*s | ' ') - 'a' + 10;
            else
                break;
            result = result * 16 + static_cast<uint64_t>(digit);
            if (result > limit) result = limit + 1;
        }
    } else {
        for (; *s >= '0' && *s <= '9'; ++s) {
            result = result * 10 + static_cast<uint64_t>(*s - '0');
            if (result > limit) result = limit + 1;
        }
    }
    return result;
}

}  // namespace

int32_t IntValue(const char* value, int32_t fallback) {
    if (!value) return fallback;
    bool negative = false;
    const uint64_t magnitude = ReadInteger(value, 1ull << 32, negative);
    if (negative) return magnitude > 2147483648ull ? INT32_MIN : static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    return magnitude > 2147483647ull ? INT32_MAX : static_cast<int32_t>(magnitude);
}

uint32_t UIntValue(const char* value, uint32_t fallback) {
    if (!value) return fallback;
    bool negative = false;
    const uint64_t magnitude = ReadInteger(value, 1ull << 32, negative);
    if (negative) return 0;
    return magnitude > 4294967295ull ? UINT32_MAX : static_cast<uint32_t>(magnitude);
}

double DoubleValue(const char* value, double fallback) {
    return value ? std::strtod(value, nullptr) : fallback;
}

bool FlagValue(const char* value) {
    return value && (std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0 || std::strcmp(value, "on") == 0);
}

const char* FindAttributeLocal(const char** attributes, const char* local) {
    if (const char* plain = FindAttribute(attributes, local)) return plain;
    for (const char** a = attributes; *a; a += 2) {
        if (std::strcmp(LocalName(a[0]), local) == 0) return a[1];
    }
    return nullptr;
}

}  // namespace tabulon::xlsx
