#include <windows.h>

#include <random>

#include "core/errors.h"
#include "platform/file_io.h"
#include "platform/win_resource.h"
#include "platform/win_text.h"

namespace tabulon::platform {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD error) {
    throw FileError(what, path, SystemErrorText(error));
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    std::wstring wide = Utf8ToWide(path);
    const UniqueFile file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("cannot open", path, GetLastError());
    std::string data;
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.get(), buf, sizeof buf, &n, nullptr)) Fail("cannot read", path, GetLastError());
        if (n == 0) break;
        data.append(buf, n);
    }
    return data;
}

struct AtomicFileWriter::Impl {
    std::string path;
    std::wstring target;
    std::wstring temp;
    UniqueFile file;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path) : impl_(std::make_unique<Impl>()) {
    impl_->path = path;
    impl_->target = Utf8ToWide(path);
    DWORD attributes = GetFileAttributesW(impl_->target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Fail("cannot write", path, ERROR_DIRECTORY);
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16 && !impl_->file; ++attempt) {
        wchar_t suffix[16];
        swprintf(suffix, 16, L".%08x.tmp", static_cast<unsigned>(random()));
        impl_->temp = impl_->target + suffix;
        impl_->file.reset(
            CreateFileW(impl_->temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!impl_->file && GetLastError() != ERROR_FILE_EXISTS) Fail("cannot write", path, GetLastError());
    }
    if (!impl_->file) Fail("cannot write", path, ERROR_FILE_EXISTS);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (impl_ && impl_->file) {
        impl_->file.reset();
        DeleteFileW(impl_->temp.c_str());
    }
}

void AtomicFileWriter::Write(std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(impl_->file.get(), p, chunk, &written, nullptr))
            Fail("cannot write", impl_->path, GetLastError());
        p += written;
        left -= written;
    }
}

void AtomicFileWriter::Commit() {
    DWORD error = 0;
    if (!FlushFileBuffers(impl_->file.get())) error = GetLastError();
    impl_->file.reset();
    if (error == 0 &&
        !MoveFileExW(impl_->temp.c_str(), impl_->target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != 0) {
        DeleteFileW(impl_->temp.c_str());
        Fail("cannot write", impl_->path, error);
    }
}

}  // namespace tabulon::platform
