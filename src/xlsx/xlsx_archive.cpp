#include "xlsx/xlsx_archive.h"

#include <minizip/unzip.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/errors.h"
#include "xlsx/xlsx_zip_open.h"

namespace tabulon::xlsx {

namespace {

std::string Megabytes(uint64_t bytes) {
    return std::to_string(bytes >> 20) + " MB";
}

}  // namespace

XlsxArchive::XlsxArchive(const std::string& path, ArchiveLimits limits) : limits_(limits) {
    // The path tagged as UTF-8: on Windows a plain string would be read in the ANSI code page.
    const std::filesystem::path fsPath(std::u8string(path.begin(), path.end()));
    // A folder opens on Linux and fails on Windows; both say the same.
    std::error_code ec;
    if (std::filesystem::is_directory(fsPath, ec)) throw TabulonError("cannot read a folder as a workbook");
    std::ifstream file(fsPath, std::ios::binary);
    if (!file) throw TabulonError("cannot open the file: " + std::string(std::strerror(errno)));
    unsigned char magic[8] = {};
    file.read(reinterpret_cast<char*>(magic), sizeof magic);
    const std::streamsize got = file.gcount();
    file.close();
    if (got >= 4 && magic[0] == 0xD0 && magic[1] == 0xCF && magic[2] == 0x11 && magic[3] == 0xE0) {
        throw TabulonError(
            "not an .xlsx workbook: this is an old binary (.xls) or password-protected workbook; save it as "
            "an unprotected .xlsx first");
    }
    if (got < 4 || !(magic[0] == 'P' && magic[1] == 'K' && magic[2] == 3 && magic[3] == 4)) {
        throw TabulonError("not an .xlsx workbook: the file is not a ZIP archive");
    }
    zip_ = OpenZipArchive(path);
    if (!zip_) throw TabulonError("the workbook is damaged: its ZIP directory cannot be read (truncated file?)");
}

XlsxArchive::~XlsxArchive() {
    if (zip_) unzClose(static_cast<unzFile>(zip_));
}

std::optional<std::string> XlsxArchive::Read(const std::string& name) {
    unzFile zip = static_cast<unzFile>(zip_);
    if (unzLocateFile(zip, name.c_str(), 2) != UNZ_OK) return std::nullopt;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        throw TabulonError("the workbook is damaged: part " + name + " cannot be read");
    }
    if (info.flag & 1) throw TabulonError("part " + name + " is encrypted; save the workbook without a password");
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        throw TabulonError("the workbook is damaged: part " + name + " cannot be opened");
    }
    std::string data;
    const uint64_t declared = info.uncompressed_size;
    if (declared <= limits_.maxEntryBytes) data.reserve(static_cast<size_t>(declared));
    char buffer[1 << 16];
    const uint64_t compressed = info.compressed_size == 0 ? 1 : info.compressed_size;
    while (true) {
        int n = unzReadCurrentFile(zip, buffer, sizeof buffer);
        if (n < 0) {
            unzCloseCurrentFile(zip);
            throw TabulonError("the workbook is damaged: part " + name + " does not inflate (error " +
                               std::to_string(n) + ")");
        }
        if (n == 0) break;
        data.append(buffer, static_cast<size_t>(n));
        total_ += static_cast<uint64_t>(n);
        const uint64_t size = data.size();
        const char* why = nullptr;
        if (size > limits_.maxEntryBytes)
            why = "is larger than the limit of ";
        else if (total_ > limits_.maxTotalBytes)
            why = "takes the workbook past the limit of ";
        if (why) {
            unzCloseCurrentFile(zip);
            const uint64_t limit = size > limits_.maxEntryBytes ? limits_.maxEntryBytes : limits_.maxTotalBytes;
            throw TabulonError("part " + name + " " + why + Megabytes(limit) +
                               " uncompressed; refusing to read a workbook that may be a ZIP bomb");
        }
        if (size > limits_.ratioFloorBytes && size / compressed > limits_.maxRatio) {
            unzCloseCurrentFile(zip);
            throw TabulonError("part " + name + " inflates more than " + std::to_string(limits_.maxRatio) +
                               " times its compressed size; refusing to read a workbook that may be a ZIP bomb");
        }
    }
    if (unzCloseCurrentFile(zip) == UNZ_CRCERROR) {
        throw TabulonError("the workbook is damaged: part " + name + " fails its CRC check");
    }
    return data;
}

std::string XlsxArchive::ReadRequired(const std::string& name) {
    auto data = Read(name);
    if (!data) throw TabulonError("the workbook has no part " + name + " (not a spreadsheet, or damaged)");
    return std::move(*data);
}

}  // namespace tabulon::xlsx
