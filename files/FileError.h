// Error of file input and output, shown by the general error report like a port error.
#pragma once

#include <stdexcept>
#include <string>

namespace zorvik {

class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(const std::string& text, int errorCode = 0, bool cutShort = false)
        : std::runtime_error(text), errorCode_(errorCode), cutShort_(cutShort) {}

    // The platform's error number (errno), or 0 when there is none.
    [[nodiscard]] int ErrorCode() const { return errorCode_; }
    // A file written in place failed part way: it may be damaged, and the message says so.
    [[nodiscard]] bool CutShort() const { return cutShort_; }

private:
    int errorCode_;
    bool cutShort_;
};

}  // namespace zorvik
