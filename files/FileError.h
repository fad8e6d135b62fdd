// Error of file input and output, shown by the general error report like a port error.
#pragma once

#include <stdexcept>
#include <string>

namespace zorvik {

class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(const std::string& text, int errorCode = 0)
        : std::runtime_error(text), errorCode_(errorCode) {}

    // The platform's error number (errno), or 0 when there is none.
    [[nodiscard]] int ErrorCode() const { return errorCode_; }

private:
    int errorCode_;
};

}  // namespace zorvik
