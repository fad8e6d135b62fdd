// Configuration files in the forms the command line reads and writes: the 256-byte image of a
// .zvk file, as the window opens and saves it.
#pragma once

#include <string>

#include "config/ImageControls.h"

namespace zorvik::cli {

// The image at the start of a .zvk file, by the window's rules: a file of more than 2048 bytes is
// refused, one shorter than 256 cannot be read. Raises CliError (status 7).
[[nodiscard]] ConfigImage LoadImageFile(const std::string& path);

// Replaces the file with the image, only once the new one is complete. Raises CliError (status 7).
void SaveImageFile(const std::string& path, const ConfigImage& image);

// Replaces the file with `text`. Raises CliError (status 7).
void SaveTextFile(const std::string& path, const std::string& text);

// All of a file, or of standard input for "-". Raises CliError (status 7).
[[nodiscard]] std::string LoadTextFile(const std::string& path);

}  // namespace zorvik::cli
