// Where passwords come from: never the command line. The access password from a file, the
// environment or the factory default; new passwords from the terminal without echo, or from
// standard input for scripts.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace zorvik::cli {

constexpr const char* kPasswordVariable = "ZORVIK_PASSWORD";  // the access password's variable

// The access password: the first line of `file` when given, else $ZORVIK_PASSWORD, else the
// factory default. Raises CliError: status 7 when the file cannot be read, 2 when the password is
// not 4 characters long.
[[nodiscard]] std::u16string AccessPassword(const std::optional<std::string>& file);

// Where the last access password taken came from, for a device that refuses it: "the factory
// password; give yours with ZORVIK_PASSWORD or --password-file", "from ZORVIK_PASSWORD", "from
// FILE".
[[nodiscard]] std::string AccessPasswordSource();

// Whether a new password holds printable ASCII only. The device compares bytes, and a character
// beyond ASCII would be sent as the low byte of its code: not what was typed.
[[nodiscard]] bool IsPlainAscii(const std::u16string& password);

// UTF-8 text as the UTF-16 a password box would hold (the device takes each unit's low byte).
[[nodiscard]] std::u16string FromUtf8(const std::string& text);

// Where to read passwords that are typed in.
class PasswordReader {
public:
    // `fromStdin`: one password per line of standard input; otherwise the controlling terminal.
    // `stdinOption` is the option that asks for standard input, named when there is no terminal.
    PasswordReader(bool fromStdin, std::string stdinOption)
        : fromStdin_(fromStdin), stdinOption_(std::move(stdinOption)) {}

    // One password. On the terminal it is asked for with `prompt` and, when `confirm` is
    // given, asked again with that prompt; two different answers raise CliError (status 2).
    // `check`, when given, judges the first answer before it is asked again, so a password that
    // cannot be taken is refused before it is typed twice. No terminal, or the input ended,
    // raises CliError (status 2).
    [[nodiscard]] std::string Read(const std::string& prompt,
                                   const std::optional<std::string>& confirm,
                                   const std::function<void(const std::string&)>& check = {});

private:
    bool fromStdin_;
    std::string stdinOption_;
};

}  // namespace zorvik::cli
