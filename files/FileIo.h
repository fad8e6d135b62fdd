// Byte-wise file reading and whole-file replacement, with every failure raised as EInOutError.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/FileError.h"

namespace zorvik {

// A file open for reading; closed when the object goes, whatever happened meanwhile.
class InputFile {
public:
    // Raises EInOutError with the system's text when the file cannot be opened or is a folder.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    [[nodiscard]] std::uint64_t Size() const;

    // Fills `buffer` from the current position; raises EInOutError "Read beyond end of file" when
    // the file ends first.
    void ReadExactly(std::span<std::uint8_t> buffer);

private:
    int fd_;
};

// Makes `bytes` the whole content of the file at `path`. A symbolic link is written through (a
// link whose target does not exist yet makes that target, and stays a link), except a link in a
// sticky folder that anyone may write to which belongs neither to this user nor to the folder's
// owner: that is refused as "Permission denied", as the system itself would refuse to follow it.
// The rule holds for every part of the path, a link to a folder on the way included.
// A regular file is replaced: the content goes to a temporary file in the same folder first, and
// replaces the old file only once it is complete on disk; a failure at any step raises
// EInOutError, leaves the old file as it was and leaves no temporary file behind. The replacement
// keeps the old file's mode, and its owner and group where this user may set them; a new file is
// readable and writable by its owner only. A file the user may not write is refused.
// Where no temporary file can be made (the folder takes no new file, say) or the folder, being
// sticky, lets no one replace another's file, and where the file has other hard links, the file
// is written in place and synced instead; if that fails part way the error's text says the file
// may be damaged.
// What is not a regular file (a device, a named pipe, a terminal, an open descriptor such as
// /dev/stdout) cannot be replaced: the bytes are written into it, and its own errors are raised.
// A named pipe must already have a reader.
void ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes);

// A file that grows by appending, such as a byte trace or a report of attempts: lines written
// earlier are never rewritten. A new file is readable and writable by its owner only. Symbolic
// links are followed by the same rule as for ReplaceFileContents.
class AppendFile {
public:
    // Raises EInOutError with the system's text when the file cannot be opened for appending.
    explicit AppendFile(const std::string& path);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Writes all of `text` at the end of the file; raises EInOutError when the system refuses.
    void Append(std::string_view text);

private:
    int fd_;
};

}  // namespace zorvik
