#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>

#include "core/errors.h"
#include "platform/file_io.h"

namespace tabulon::platform {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw FileError(what, path, std::strerror(error));
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// What a file other than a regular file or a folder is, for messages.
[[noreturn]] void TooLarge(const std::string& path, uint64_t maxBytes) {
    throw FileError("cannot read", path, "more than " + ByteSizeText(maxBytes) + ", the most this program reads");
}

const char* SpecialKind(mode_t mode) {
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "a special file";
}

// Read-only for us: no write permission for anyone (which even root respects
// here), or none for this user.
bool IsReadOnly(const std::string& path, const struct stat& st) {
    return (st.st_mode & 0222) == 0 || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

// The file an AtomicFileWriter would replace: nothing when there is none yet.
// Throws for everything the writer must not replace.
std::optional<struct stat> ReplaceableTarget(const std::string& path, ReadOnlyFiles readOnly) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt;  // a new file; a missing folder fails on create
        Fail("cannot write", path, errno);
    }
    if (S_ISDIR(st.st_mode)) Fail("cannot write", path, EISDIR);
    if (!S_ISREG(st.st_mode)) {
        throw FileError("cannot write", path, std::string(SpecialKind(st.st_mode)) + ", not a regular file");
    }
    if (readOnly == ReadOnlyFiles::Refuse && IsReadOnly(path, st)) {
        throw ReadOnlyFileError("cannot write", path, "the file is read-only");
    }
    return st;
}

}  // namespace

namespace {

class PosixInputFile final : public InputFile {
public:
    PosixInputFile(std::string path, int fd, uint64_t maxBytes) : path_(std::move(path)), fd_(fd), maxBytes_(maxBytes) {}
    ~PosixInputFile() override { close(fd_); }
    PosixInputFile(const PosixInputFile&) = delete;
    PosixInputFile& operator=(const PosixInputFile&) = delete;

    size_t Read(char* buffer, size_t size) override {
        for (;;) {
            const ssize_t n = read(fd_, buffer, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                Fail("cannot read", path_, errno);
            }
            // A pipe, or a file that grows while it is read.
            if (static_cast<uint64_t>(n) > maxBytes_ - read_) TooLarge(path_, maxBytes_);
            read_ += static_cast<uint64_t>(n);
            return static_cast<size_t>(n);
        }
    }
    uint64_t KnownSize() const override { return knownSize_; }
    void SetKnownSize(uint64_t size) { knownSize_ = size; }

private:
    std::string path_;
    int fd_;
    uint64_t knownSize_ = 0;
    uint64_t maxBytes_;
    uint64_t read_ = 0;
};

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::string& path, uint64_t maxBytes) {
    // Look before opening: opening a device may already do something.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) Fail("cannot read", path, EISDIR);
        throw FileError("cannot read", path, std::string(SpecialKind(st.st_mode)) + ", not a file or a pipe");
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open", path, errno);
    auto file = std::make_unique<PosixInputFile>(path, fd, maxBytes);  // closes fd from here on
    if (fstat(fd, &st) != 0) Fail("cannot read", path, errno);
    if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode)) {  // swapped since the first look
        throw FileError("cannot read", path, std::string(SpecialKind(st.st_mode)) + ", not a file or a pipe");
    }
    const uint64_t size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    if (size > maxBytes) TooLarge(path, maxBytes);
    file->SetKnownSize(size);
    return file;
}

void CheckReplaceable(const std::string& path, ReadOnlyFiles readOnly) {
    ReplaceableTarget(path, readOnly);
}

struct AtomicFileWriter::Impl {
    std::string path;
    std::string temp;
    int fd = -1;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path, ReadOnlyFiles readOnly) : impl_(std::make_unique<Impl>()) {
    impl_->path = path;
    const std::optional<struct stat> target = ReplaceableTarget(path, readOnly);
    std::random_device random;
    for (int attempt = 0; attempt < 16 && impl_->fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        impl_->temp = path + suffix;
        // 0666 under the umask: the permissions a plain create would give.
        impl_->fd = open(impl_->temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (impl_->fd < 0 && errno != EEXIST) Fail("cannot write", path, errno);
    }
    if (impl_->fd < 0) Fail("cannot write", path, EEXIST);
    if (target) {
        // The replaced file's owner where we may set it (root, or a group of
        // ours), then its permissions; the open descriptor stays writable.
        if (fchown(impl_->fd, target->st_uid, target->st_gid) != 0 && errno == EPERM) {
            [[maybe_unused]] int ignored = fchown(impl_->fd, static_cast<uid_t>(-1), target->st_gid);
        }
        if (fchmod(impl_->fd, target->st_mode & 07777) != 0) {
            int error = errno;
            close(impl_->fd);
            impl_->fd = -1;
            unlink(impl_->temp.c_str());
            Fail("cannot write", path, error);
        }
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (impl_ && impl_->fd >= 0) {
        close(impl_->fd);
        unlink(impl_->temp.c_str());
    }
}

void AtomicFileWriter::Write(std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = write(impl_->fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("cannot write", impl_->path, errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}

void AtomicFileWriter::Commit() {
    int error = 0;
    if (fsync(impl_->fd) != 0) error = errno;
    if (close(impl_->fd) != 0 && error == 0) error = errno;
    impl_->fd = -1;
    if (error == 0 && rename(impl_->temp.c_str(), impl_->path.c_str()) != 0) error = errno;
    if (error != 0) {
        unlink(impl_->temp.c_str());
        Fail("cannot write", impl_->path, error);
    }
    // Make the rename itself durable.
    int dir = open(DirectoryOf(impl_->path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
}

}  // namespace tabulon::platform
