// The program's exit statuses: one number per kind of failure, so that scripts can tell them apart.
#pragma once

#include <stdexcept>
#include <string>

#include "config/PrintableText.h"

namespace zorvik::cli {

enum class Exit : int {
    Ok = 0,
    Differ = 1,         // diff: the configurations differ
    Usage = 2,          // the command line (or a password typed for it) is not acceptable
    PortUnusable = 3,   // the port cannot be opened
    NoDevice = 4,       // no Ready banner, no answer, or the line went away
    WrongPassword = 5,  // the device refused a password
    DataError = 6,      // a bad checksum, a short block, a verification mismatch
    FileError = 7,      // a file cannot be read or written, or its content is not valid
    DeviceFailed = 8,   // provision: at least one device failed (the report says which)
    Interrupted = 130,  // stopped by Ctrl-C (128 + SIGINT), as shells report it
    Terminated = 143,   // stopped by SIGTERM (128 + SIGTERM), or by SIGHUP or SIGPIPE
};

[[nodiscard]] constexpr int ToInt(Exit code) {
    return static_cast<int>(code);
}

// A failure on its way out of a command: what went wrong, in English, and the status it ends with.
class CliError : public std::runtime_error {
public:
    // Whatever of the input the message quotes is shown escaped: no control character reaches
    // the terminal, and no NUL cuts the message short.
    CliError(Exit code, const std::string& message)
        : std::runtime_error(PrintableText(message, true)), code_(code) {}
    [[nodiscard]] Exit Code() const { return code_; }

private:
    Exit code_;
};

}  // namespace zorvik::cli
