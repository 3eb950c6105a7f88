#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open", path, errno);
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        Fail("cannot read", path, EISDIR);
    }
    std::string data;
    if (st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            close(fd);
            Fail("cannot read", path, error);
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return data;
}

struct AtomicFileWriter::Impl {
    std::string path;
    std::string temp;
    int fd = -1;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path) : impl_(std::make_unique<Impl>()) {
    impl_->path = path;
    struct stat target {};
    if (stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) Fail("cannot write", path, EISDIR);
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
