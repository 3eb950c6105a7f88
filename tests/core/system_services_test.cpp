// The core reaches files, code page 932 and the width mapping only through the
// services the program hands it.
#include "core/system_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/file_io.h"
#include "core/scope_exit.h"
#include "core/str_conv.h"
#include "core/width_conversion.h"

namespace tabulon {
namespace {

// What the fake system saw.
struct Seen {
    std::vector<std::string> events;
};
Seen seen;

class RecordingSink final : public AtomicFileSink {
public:
    explicit RecordingSink(std::string path) : path_(std::move(path)) { seen.events.push_back("open " + path_); }
    ~RecordingSink() override { seen.events.push_back(committed_ ? "closed" : "dropped " + path_); }
    void Write(std::string_view data) override { seen.events.push_back("write " + std::string(data)); }
    void Commit() override {
        committed_ = true;
        seen.events.push_back("commit " + path_);
    }

private:
    std::string path_;
    bool committed_ = false;
};

// A file that holds text.
class TextFile : public InputFile {
public:
    explicit TextFile(std::string text) : text_(std::move(text)) {}
    size_t Read(char* buffer, size_t size) override {
        const size_t n = std::min(size, text_.size() - at_);
        std::copy_n(text_.data() + at_, n, buffer);
        at_ += n;
        return n;
    }
    uint64_t KnownSize() const override { return text_.size(); }

private:
    std::string text_;
    size_t at_ = 0;
};

SystemServices FakeSystem() {
    SystemServices s;
    s.openInputFile = [](const std::string& path, uint64_t) -> std::unique_ptr<InputFile> {
        return std::make_unique<TextFile>("contents of " + path);
    };
    s.openAtomicFile = [](const std::string& path, ReadOnlyFiles) -> std::unique_ptr<AtomicFileSink> {
        return std::make_unique<RecordingSink>(path);
    };
    s.checkReplaceable = [](const std::string&, ReadOnlyFiles) {};
    // Every code point is the byte 'X'.
    s.cp932EncodeCodePoint = [](char32_t, char out[2], int& len) {
        out[0] = 'X';
        len = 1;
        return true;
    };
    s.utf8ToCp932BestFit = [](std::string_view) { return std::string("\x82\x4f"); };  // full-width 0
    s.cp932ToUtf8 = [](std::string_view cp932) { return "decoded " + std::string(cp932); };
    s.mapWidth = [](std::string_view text, WidthForm form) -> std::optional<std::string> {
        return std::string(form == WidthForm::Full ? "full " : "half ") + std::string(text);
    };
    return s;
}

class SystemServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = CurrentSystemServices();
        seen.events.clear();
    }
    void TearDown() override { SetSystemServices(saved_); }

    SystemServices saved_;
};

TEST_F(SystemServicesTest, FilesCodePagesAndWidthsGoThroughTheServicesHandedOver) {
    SetSystemServices(FakeSystem());

    EXPECT_EQ(ReadWholeFile("a.json"), "contents of a.json");
    AtomicWriteFile("out.dxf", "data");
    { AtomicFileWriter abandoned("half.dxf"); }
    EXPECT_EQ(seen.events, (std::vector<std::string>{"open out.dxf", "write data", "commit out.dxf", "closed",
                                                     "open half.dxf", "dropped half.dxf"}));

    EXPECT_EQ(DxfTextEncoder().Encode("a\xc3\xa9"), "aX") << "ASCII stays itself; the rest is encoded";
    EXPECT_EQ(FullDigitsToHalf("0"), "decoded 0") << "code page 932 texts come from the services both ways";
    EXPECT_EQ(ToFullWidth("a"), "full a");
    EXPECT_EQ(ToHalfWidth("b"), "half b");

    // Without a width mapping of the system's own, the portable one serves.
    SystemServices portable = FakeSystem();
    portable.mapWidth = nullptr;
    SetSystemServices(portable);
    EXPECT_EQ(ToFullWidth("a"), "\xef\xbd\x81");  // U+FF41
}

TEST_F(SystemServicesTest, AMissingServiceIsRefusedAndTheOnesInUseStay) {
    using Field = void (*)(SystemServices&);
    const Field removals[] = {
        [](SystemServices& s) { s.openInputFile = nullptr; },
        [](SystemServices& s) { s.openAtomicFile = nullptr; },
        [](SystemServices& s) { s.cp932EncodeCodePoint = nullptr; },
        [](SystemServices& s) { s.utf8ToCp932BestFit = nullptr; },
        [](SystemServices& s) { s.cp932ToUtf8 = nullptr; },
    };
    for (Field remove : removals) {
        SystemServices incomplete = FakeSystem();
        remove(incomplete);
        EXPECT_THROW(SetSystemServices(incomplete), std::invalid_argument);
        EXPECT_EQ(CurrentSystemServices().openInputFile, saved_.openInputFile);
    }
}

}  // namespace
}  // namespace tabulon
