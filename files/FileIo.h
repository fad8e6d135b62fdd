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

// Makes `bytes` the whole content of the file at `path` (through a symbolic link, the file it
// names). The content goes to a temporary file in the same folder first, and replaces the old file
// only once it is complete on disk: a failure at any step raises EInOutError, leaves the old file
// as it was and leaves no temporary file behind. The replacement keeps the old file's mode, and
// its owner and group where this user may set them; a new file is readable and writable by its
// owner only. A file the user may not write is refused.
// Where the folder takes no new file (or, being sticky, lets no one replace another's file) but
// the file itself is writable, and where the file has other hard links, the file is written in
// place and synced instead; if that fails part way the error's text says the file may be damaged.
void ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes);

// A file that grows by appending, such as a byte trace or a report of attempts: lines written
// earlier are never rewritten. A new file is readable and writable by its owner only.
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
