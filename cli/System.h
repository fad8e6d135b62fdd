// What the command line asks of the operating system, filled by one file per platform.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::cli {

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

// For the support report: the system's name and version, the user's groups, and a file's mode
// and owner ("absent" when there is no such file).
[[nodiscard]] std::string SystemName();
[[nodiscard]] std::vector<std::string> UserGroups();
[[nodiscard]] std::string FileMode(const std::string& path);

}  // namespace zorvik::cli
