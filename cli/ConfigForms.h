// Configuration files in the forms the command line reads and writes: the 256-byte image of a
// .zvk file (as the window opens and saves it), the text form and the JSON form.
#pragma once

#include <optional>
#include <string>

#include "config/ConfigImage.h"
#include "config/Configuration.h"

namespace zorvik::cli {

enum class Form { Image, Text, Json };

// The form a file name stands for: ".zvk" an image, ".json" JSON, ".txt" text; `otherwise` for
// any other name.
[[nodiscard]] Form FormOfName(const std::string& path, Form otherwise);

// Whether a file to be read is a .zvk image (and so needs no base for keys it leaves out).
[[nodiscard]] bool IsImageFile(const std::string& path);

// The image at the start of a .zvk file, by the window's rules: a file of more than 2048 bytes is
// refused, one shorter than 256 cannot be read. A file whose bytes read as a text or JSON form
// with settings in it is refused too: sent as an image it would fill the device with its
// characters. Raises CliError (status 7).
[[nodiscard]] ConfigImage LoadImageFile(const std::string& path);

// Replaces the file with the image as it stands ("-": writes it to standard output). Raises
// CliError (status 7).
void SaveImageFile(const std::string& path, const ConfigImage& image);

// The configuration in a file of any form ("-": the text or JSON form on standard input). Keys
// a text or JSON form leaves out keep `base`'s values. Raises CliError (status 7), naming the
// line and key of a bad setting.
[[nodiscard]] Configuration LoadConfiguration(const std::string& path, const Configuration& base);

// The configuration in `text`, a text or JSON form read from `path`, on top of `base`.
[[nodiscard]] Configuration ParseForm(const std::string& text, const std::string& path,
                                      const Configuration& base);

// The configuration as text or JSON (the image form has no text).
[[nodiscard]] std::string Render(const Configuration& value, Form form);

// Replaces the file with the configuration in `form`, only once the new file is complete ("-":
// writes it to standard output). Raises CliError (status 7).
void SaveConfiguration(const std::string& path, const Configuration& value, Form form);

// All of a file, or of standard input for "-", without a leading UTF-8 byte-order mark. A file
// that cannot be read, or is larger than a form can be, raises CliError (status 7).
[[nodiscard]] std::string LoadTextFile(const std::string& path);

// Whether a text or JSON form holds no setting at all (only blank lines and comments, or "{}").
[[nodiscard]] bool IsEmptyForm(const std::string& text);

// Whether `path` names standard input: "-", or a name for the same open file as descriptor 0.
[[nodiscard]] bool IsStandardInput(const std::string& path);

// Refuses (CliError, status 7) a place a file cannot be written to: a missing folder, a folder
// in place of the file. Checked before a command talks to the device.
void CheckOutputPlace(const std::string& path);

}  // namespace zorvik::cli
