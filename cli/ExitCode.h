// The program's exit statuses: one number per kind of failure, so that scripts can tell them apart.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "config/PrintableText.h"

namespace zorvik::cli {

// What each means is in kExitMeanings below.
enum class Exit : int {
    Ok = 0,
    Differ = 1,
    Usage = 2,
    PortUnusable = 3,
    NoDevice = 4,
    WrongPassword = 5,
    DataError = 6,
    FileError = 7,
    DeviceFailed = 8,
    Interrupted = 130,  // 128 + SIGINT, as shells report a Ctrl-C
    Terminated = 143,   // 128 + SIGTERM
};

struct ExitMeaning {
    Exit code;
    std::string_view meaning;
};

// Each status as the help lists it, but for Interrupted and Terminated, whose causes differ by
// platform (Platform() in cli/System.h says them).
inline constexpr std::array kExitMeanings{
    ExitMeaning{Exit::Ok, "success"},
    ExitMeaning{Exit::Differ, "the configurations differ (diff)"},
    ExitMeaning{Exit::Usage, "usage error"},
    ExitMeaning{Exit::PortUnusable, "the port cannot be opened"},
    ExitMeaning{Exit::NoDevice, "no device: no Ready banner, no answer, or the line went away"},
    ExitMeaning{Exit::WrongPassword, "wrong password"},
    ExitMeaning{Exit::DataError, "data error: bad checksum, short block, verification mismatch"},
    ExitMeaning{Exit::FileError,
                "file error: a file cannot be read or written, or its content is not valid"},
    ExitMeaning{Exit::DeviceFailed,
                "provision: at least one device failed (the report says which)"},
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
