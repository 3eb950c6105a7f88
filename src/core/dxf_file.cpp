#include "core/dxf_file.h"

#include <stdexcept>

namespace tabulon {

namespace {

// Large enough that each write is cheap, small enough to stay in the cache.
constexpr size_t kChunk = 1 << 18;

}  // namespace

DxfFileOutput::DxfFileOutput(std::string path, ReadOnlyFiles readOnly) : path_(std::move(path)), readOnly_(readOnly) {
    text_.reserve(kChunk + (kChunk >> 2));
}

void DxfFileOutput::Clear() {
    if (file_) throw std::logic_error("DxfFileOutput: cleared after writing began");
    text_.clear();
}

void DxfFileOutput::ItemEnded() {
    // Items end in CR LF, so a chunk never ends inside a character.
    if (text_.size() >= kChunk) Flush();
}

void DxfFileOutput::Flush() {
    if (!file_) file_.emplace(path_, readOnly_);
    encoded_.clear();
    encoder_.EncodeTo(text_, encoded_);
    file_->Write(encoded_);
    text_.clear();
}

void DxfFileOutput::Commit() {
    Flush();
    file_->Commit();
}

void SaveDxfLines(const DxfLines& lines, const std::string& path, ReadOnlyFiles readOnly) {
    DxfFileOutput file(path, readOnly);
    for (size_t k = 0; k < lines.Count(); ++k) file.Add(lines.Item(k));
    file.Commit();
}

}  // namespace tabulon
