// Configuration files: one 256-byte configuration image, read from the start of a file and written
// as a whole file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigImage.h"

namespace zorvik {

constexpr std::uint64_t kMaxConfigFileSize = 2048;   // longer files are refused
constexpr const char* kConfigFileExtension = "zvk";  // a configuration file's name ends in .zvk

// The image at the start of the file at `path`: its first 256 bytes. `checkSize`, when given, is
// told the file's size before anything is read and may refuse the file by raising. A file longer
// than kMaxConfigFileSize gives nothing; a file shorter than an image, or one that cannot be
// opened or read, raises EInOutError. The file is closed on return.
[[nodiscard]] std::optional<ConfigImage> ReadConfigFile(
    const std::string& path, const std::function<void(std::uint64_t size)>& checkSize = {});

// All of the file at `path`, for a reader that looks past the image (at what else the file may
// hold): the same checks and failures as ReadConfigFile, and nothing for a file that is too long.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadWholeConfigFile(
    const std::string& path, const std::function<void(std::uint64_t size)>& checkSize = {});

// Makes `image`, exactly 256 bytes, the whole file at `path`, replacing it only once the new one
// is complete. Failures raise EInOutError.
void WriteConfigFile(const std::string& path, const ConfigImage& image);

}  // namespace zorvik
