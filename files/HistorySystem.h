// The few calls the history makes into the operating system, filled by one file per platform.
#pragma once

#include <string>

namespace zorvik::history {

// Takes the folder (already made) away from other users where the platform lets it.
void MakePrivate(const std::string& folder);

// Creates `path` for writing, readable by its owner only, failing with EEXIST when it exists:
// a descriptor, or -1 with errno set.
[[nodiscard]] int CreateNew(const std::string& path);

// Writes all of `text` and has it reach the disk; raises EInOutError naming `path` otherwise.
void WriteAllAndSync(int fd, const std::string& text, const std::string& path);

void Close(int fd) noexcept;
void Remove(const std::string& path) noexcept;

// Where the history lives by default; empty when the platform's variables do not say.
[[nodiscard]] std::string DefaultFolder();

}  // namespace zorvik::history
