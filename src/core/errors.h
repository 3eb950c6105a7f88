// The core's one error type. The core throws; the user interface and the command
// line catch at their boundary and show the message.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace tabulon {

class TabulonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be read or written: the path and the system's own reason,
// for messages in the user's language.
class FileError : public TabulonError {
public:
    FileError(const std::string& what, std::string path, std::string reason)
        : TabulonError(what + " \"" + path + "\": " + reason), path_(std::move(path)), reason_(std::move(reason)) {}
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
};

}  // namespace tabulon
