// The core's one error type. The core throws; the user interface and the command
// line catch at their boundary and show the message.
#pragma once

#include <stdexcept>
#include <string>

namespace tabulon {

class TabulonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tabulon
