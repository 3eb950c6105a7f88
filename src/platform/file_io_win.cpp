#include <windows.h>

#include <algorithm>
#include <optional>
#include <random>

#include "core/errors.h"
#include "core/file_io.h"
#include "platform/file_io.h"
#include "platform/win_resource.h"
#include "platform/win_text.h"

namespace tabulon::platform {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD error) {
    throw FileError(what, path, SystemErrorText(error));
}

}  // namespace

namespace {

[[noreturn]] void TooLarge(const std::string& path, uint64_t maxBytes) {
    throw FileError("cannot read", path, "more than " + ByteSizeText(maxBytes) + ", the most this program reads");
}

class WinInputFile final : public InputFile {
public:
    WinInputFile(std::string path, UniqueFile file, uint64_t knownSize, uint64_t maxBytes)
        : path_(std::move(path)), file_(std::move(file)), knownSize_(knownSize), maxBytes_(maxBytes) {}

    size_t Read(char* buffer, size_t size) override {
        DWORD n = 0;
        const DWORD ask = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        if (!ReadFile(file_.get(), buffer, ask, &n, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_BROKEN_PIPE) return 0;  // the writing end closed: the end of a pipe
            Fail("cannot read", path_, error);
        }
        // A pipe, or a file that grows while it is read.
        if (n > maxBytes_ - read_) TooLarge(path_, maxBytes_);
        read_ += n;
        return n;
    }
    uint64_t KnownSize() const override { return knownSize_; }

private:
    std::string path_;
    UniqueFile file_;
    uint64_t knownSize_;
    uint64_t maxBytes_;
    uint64_t read_ = 0;
};

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::string& path, uint64_t maxBytes) {
    std::wstring wide = Utf8ToWide(path);
    UniqueFile file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("cannot open", path, GetLastError());
    const DWORD type = GetFileType(file.get());
    LARGE_INTEGER size{};
    if (type == FILE_TYPE_DISK) {
        if (!GetFileSizeEx(file.get(), &size)) size.QuadPart = 0;
        if (static_cast<uint64_t>(size.QuadPart) > maxBytes) TooLarge(path, maxBytes);
    } else if (type != FILE_TYPE_PIPE) {
        throw FileError("cannot read", path, "a device, not a file or a pipe");  // NUL, CON, COM1, ...
    }
    return std::make_unique<WinInputFile>(path, std::move(file), static_cast<uint64_t>(size.QuadPart), maxBytes);
}

namespace {

// Attributes a replaced file hands on to its successor.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The attributes of the file an AtomicFileWriter would replace, or nothing when
// there is none yet. Throws for everything the writer must not replace.
std::optional<DWORD> ReplaceableTarget(const std::string& path, const std::wstring& target, ReadOnlyFiles readOnly) {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    UniqueFile probe(CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (probe) {
        const DWORD type = GetFileType(probe.get());
        BY_HANDLE_FILE_INFORMATION info{};
        if (GetFileInformationByHandle(probe.get(), &info)) attributes = info.dwFileAttributes;
        probe.reset();
        if (type != FILE_TYPE_DISK) throw FileError("cannot write", path, "a device, not a regular file");
    } else {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
        attributes = GetFileAttributesW(target.c_str());  // busy or locked: what can still be seen
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) Fail("cannot write", path, ERROR_DIRECTORY);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        throw FileError("cannot write", path, "a symbolic link, not a regular file");
    }
    if (attributes & FILE_ATTRIBUTE_DEVICE) throw FileError("cannot write", path, "a device, not a regular file");
    if ((attributes & FILE_ATTRIBUTE_READONLY) && readOnly == ReadOnlyFiles::Refuse) {
        throw ReadOnlyFileError("cannot write", path, "the file is read-only");
    }
    return attributes;
}

}  // namespace

void CheckReplaceable(const std::string& path, ReadOnlyFiles readOnly) {
    ReplaceableTarget(path, Utf8ToWide(path), readOnly);
}

struct AtomicFileWriter::Impl {
    std::string path;
    std::wstring target;
    std::wstring temp;
    UniqueFile file;
    std::optional<DWORD> replaced;  // the attributes of the file being replaced
};

AtomicFileWriter::AtomicFileWriter(const std::string& path, ReadOnlyFiles readOnly) : impl_(std::make_unique<Impl>()) {
    impl_->path = path;
    impl_->target = Utf8ToWide(path);
    impl_->replaced = ReplaceableTarget(path, impl_->target, readOnly);
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
    // A read-only file cannot be replaced as it is: clear the flag for the
    // move, and give it back to the new file (or to the old one on failure).
    const DWORD kept = impl_->replaced ? *impl_->replaced & kKeptAttributes : 0;
    if (error == 0 && (kept & FILE_ATTRIBUTE_READONLY) &&
        !SetFileAttributesW(impl_->target.c_str(), (kept & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_ARCHIVE)) {
        error = GetLastError();
    }
    if (error == 0 &&
        !MoveFileExW(impl_->temp.c_str(), impl_->target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (kept != 0) SetFileAttributesW(impl_->target.c_str(), kept | FILE_ATTRIBUTE_ARCHIVE);
    if (error != 0) {
        DeleteFileW(impl_->temp.c_str());
        Fail("cannot write", impl_->path, error);
    }
}

}  // namespace tabulon::platform
