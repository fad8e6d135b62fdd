// What the command line asks of the operating system, filled by one file per platform.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::cli {

// What the help says of the platform the program runs on: what else a PORT may be, the stops its
// signals or console events make, what the program ships beside itself and which commands can do
// their work here. Filled beside the code each fact is about.
struct PlatformFacts {
    std::string_view portOption;   // -p's help line
    std::string_view portForms;    // what a PORT may be besides a COM name and a network address
    std::string_view portsLine;    // what each line of `ports` gives
    std::string_view writtenInto;  // the outputs written into rather than replaced
    std::string_view interrupted;  // how status 130 comes about
    std::string_view terminated;   // how status 143 comes about
    std::string_view stopsAtOnce;  // what stops a flash at once, past a first Ctrl-C's warning
    bool manualPage = false;       // zorvik-cli(1) is installed beside the program
    bool simulator = false;        // zorvik-sim is installed beside it
    bool doctor = false;           // the doctor's checks are this system's
};

[[nodiscard]] const PlatformFacts& Platform();

// Whether standard error is a terminal a person watches (progress bars are drawn only there).
[[nodiscard]] bool StandardErrorIsTerminal();

// Opens a file for reading as bytes, untranslated; -1 with errno set on failure.
[[nodiscard]] int OpenForReading(const std::string& path);

// A path as given on the command line (UTF-8) as the system's file calls take it: on Windows the
// narrow calls would read it in the ANSI code page and miss every folder with a Polish letter.
[[nodiscard]] std::filesystem::path NativePath(const std::string& path);

// Whether two paths name one file (by device and inode, or volume and file index); false when
// either is not there.
[[nodiscard]] bool IsSameFile(const std::string& a, const std::string& b);

// Whether `path` names the very file standard input reads.
[[nodiscard]] bool IsStandardInputFile(const std::string& path);

// One line typed at the user's terminal with echo off, without its line end; the echo comes back
// however this ends. Nothing when there is no terminal. Raises CliError (status 2) when the
// input ends first, Interrupted on Ctrl-C.
[[nodiscard]] std::optional<std::string> ReadHiddenLine(const std::string& prompt);

}  // namespace zorvik::cli
