// What the atomic writer may replace, and what ReadWholeFile agrees to read.
#include "core/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/errors.h"
#include "support/test_support.h"

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <thread>
#endif

namespace tabulon {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::string& path, const std::string& text) {
    std::ofstream(fs::u8path(path), std::ios::binary) << text;
}

bool Writable(const std::string& path) {
    return (fs::status(path).permissions() & fs::perms::owner_write) != fs::perms::none;
}

void MakeReadOnly(const std::string& path, bool readOnly) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

// No temporary file is left behind, whatever happened.
void ExpectOnlyFiles(const std::string& dir, size_t count) {
    size_t n = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
        ++n;
    }
    EXPECT_EQ(n, count);
}

TEST(AtomicFileWriter, ReadOnlyFileIsReplacedOnlyWhenAskedAndStaysReadOnly) {
    const std::string dir = test::FreshDir("io_read_only");
    const std::string path = dir + "/drawing.dxf";
    Put(path, "previous");
    MakeReadOnly(path, true);

    try {
        AtomicWriteFile(path, "new");
        FAIL() << "a read-only file was replaced";
    } catch (const ReadOnlyFileError& e) {
        EXPECT_NE(std::string(e.what()).find("drawing.dxf"), std::string::npos) << e.what();
        EXPECT_EQ(e.reason(), "the file is read-only");
    }
    EXPECT_THROW(CheckReplaceable(path), ReadOnlyFileError);
    EXPECT_EQ(Slurp(path), "previous");

    CheckReplaceable(path, ReadOnlyFiles::Replace);
    AtomicWriteFile(path, "new", ReadOnlyFiles::Replace);
    EXPECT_EQ(Slurp(path), "new");
    EXPECT_FALSE(Writable(path));
    ExpectOnlyFiles(dir, 1);
    MakeReadOnly(path, false);  // so that the folder can be cleared next time
}

TEST(AtomicFileWriter, FolderInThePlaceIsRefusedBeforeAnythingIsWritten) {
    const std::string dir = test::FreshDir("io_folder");
    fs::create_directory(fs::u8path(dir + "/out.dxf"));
    for (ReadOnlyFiles mode : {ReadOnlyFiles::Refuse, ReadOnlyFiles::Replace}) {
        EXPECT_THROW(CheckReplaceable(dir + "/out.dxf", mode), FileError);
        EXPECT_THROW(AtomicFileWriter(dir + "/out.dxf", mode), FileError);
    }
    EXPECT_TRUE(fs::is_directory(fs::u8path(dir + "/out.dxf")));
    ExpectOnlyFiles(dir, 1);
}

TEST(ReadWholeFile, ReadsUpToTheLimitAndRefusesMore) {
    const std::string dir = test::FreshDir("io_limit");
    Put(dir + "/ten", "0123456789");
    EXPECT_EQ(ReadWholeFile(dir + "/ten", 10), "0123456789");
    try {
        ReadWholeFile(dir + "/ten", 9);
        FAIL() << "read past the limit";
    } catch (const FileError& e) {
        EXPECT_EQ(e.path(), dir + "/ten");
        EXPECT_EQ(e.reason(), "more than 9 bytes, the most this program reads");
    }
    EXPECT_EQ(ByteSizeText(kMaxInputBytes), "1 GB");
    EXPECT_EQ(ByteSizeText(1u << 20), "1 MB");
}

#ifdef _WIN32

TEST(FileIoWindows, DevicesAreNeitherReadNorReplaced) {
    EXPECT_THROW(ReadWholeFile("NUL"), FileError);
    EXPECT_THROW(CheckReplaceable("NUL", ReadOnlyFiles::Replace), FileError);
    EXPECT_THROW(AtomicFileWriter("NUL", ReadOnlyFiles::Replace), FileError);
}

#else

TEST(AtomicFileWriter, KeepsTheReplacedFilesPermissions) {
    const std::string dir = test::FreshDir("io_mode");
    const std::string path = dir + "/out.dxf";
    Put(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    AtomicWriteFile(path, "new");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(Slurp(path), "new");
}

TEST(AtomicFileWriter, OnlyRegularFilesAreReplaced) {
    const std::string dir = test::FreshDir("io_special");
    const std::string fifo = dir + "/fifo.dxf";
    const std::string link = dir + "/link.dxf";
    const std::string socketPath = dir + "/socket.dxf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    Put(dir + "/target.dxf", "target");
    ASSERT_EQ(symlink("target.dxf", link.c_str()), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {fifo, "a pipe, not a regular file"},
        {link, "a symbolic link, not a regular file"},
        {socketPath, "a socket, not a regular file"},
    };
    for (const auto& c : cases) {
        try {
            AtomicWriteFile(c.path, "new", ReadOnlyFiles::Replace);
            ADD_FAILURE() << c.path << " was replaced";
        } catch (const FileError& e) {
            EXPECT_EQ(e.reason(), c.reason);
            EXPECT_EQ(e.path(), c.path);
        }
    }
    close(sock);
    struct stat st {};
    EXPECT_EQ(lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(Slurp(dir + "/target.dxf"), "target");
    ExpectOnlyFiles(dir, 4);
}

TEST(ReadWholeFile, RefusesDevicesAndFoldersAndCapsAPipe) {
    for (const char* device : {"/dev/zero", "/dev/null"}) {
        try {
            ReadWholeFile(device);
            ADD_FAILURE() << device << " was read";
        } catch (const FileError& e) {
            EXPECT_EQ(e.path(), device);
            EXPECT_EQ(e.reason(), "a device, not a file or a pipe");
        }
    }
    const std::string dir = test::FreshDir("io_pipe");
    EXPECT_THROW(ReadWholeFile(dir), FileError);

    // A pipe is read to its end, but never beyond the limit, however much it holds.
    const std::string fifo = dir + "/endless";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const auto previous = signal(SIGPIPE, SIG_IGN);  // the writer outlives the refusing reader
    for (const size_t size : {size_t{100000}, size_t{5000000}}) {
        std::thread writer([&] {
            std::ofstream out(fifo, std::ios::binary);
            const std::string block(1000, 'x');
            for (size_t k = 0; k < size / block.size() && out; ++k) out << block;
        });
        if (size <= 1000000) {
            EXPECT_EQ(ReadWholeFile(fifo, 1000000).size(), size);
        } else {
            EXPECT_THROW(ReadWholeFile(fifo, 1000000), FileError);
        }
        writer.join();
    }
    signal(SIGPIPE, previous);
}

#endif

}  // namespace
}  // namespace tabulon
