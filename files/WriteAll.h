// Writing a whole buffer to a POSIX descriptor, for the file writer and the history alike
// (Windows writes through its own handles).
#pragma once

#include <cstdint>
#include <span>

namespace zorvik {

// Writes all of `bytes` to `fd`, again after an interrupted call; raises EInOutError with the
// system's text otherwise.
void WriteAll(int fd, std::span<const std::uint8_t> bytes);

}  // namespace zorvik
