// Configuration files in the forms the command line reads and writes: the 256-byte image of a
// .zvk file (as the window opens and saves it), the text form and the JSON form.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigImage.h"
#include "config/Configuration.h"

namespace zorvik::cli {

enum class Form { Image, Text, Json };

// The form a file name stands for: ".zvk" an image, ".json" JSON, ".txt" text; `otherwise` for
// any other name.
[[nodiscard]] Form FormOfName(const std::string& path, Form otherwise);

// The form a configuration is saved in under `path`, the one rule of `read -o`, `convert` and
// `--backup`: `chosen` (--text or --json) when given, else ".json" JSON, ".txt" text, and the
// 256-byte image for any other name. A .zvk name holds an image only: `chosen` text or JSON with
// it raises CliError (status 2) for `command`.
[[nodiscard]] Form OutputForm(const std::string& command, const std::string& path,
                              std::optional<Form> chosen);

// Whether a file to be read is an image (and so needs no base for keys it leaves out): a .zvk
// name, or a file of exactly 256 bytes that is no text (it holds a NUL, or bytes that are not
// UTF-8), whatever its name. A text with a mistake in it stays a text, so its mistake is reported.
[[nodiscard]] bool IsImageFile(const std::string& path);

// Raises CliError (status 7) when `output` is the same file as `input` (by device and inode),
// before a command replaces what it is about to read.
void RefuseSameFile(const std::string& output, const std::string& input, const std::string& what);

// The keys a text or JSON form sets, as written in it.
[[nodiscard]] std::set<std::string> GivenKeys(const std::string& text, const std::string& path);

// A setting the device will not hold as the form gives it, and what it will store instead.
struct NotHeldSetting {
    std::string key;
    std::string given;   // in the text form's spelling
    std::string stored;  // likewise
};

// The settings among `given` that the device would store otherwise than `wanted` has them (a
// number whose telephone is not in use, timings given for a Wardeno). A setting the form did not
// give is never named: it takes the untouched window's value, which the user did not choose.
[[nodiscard]] std::vector<NotHeldSetting> NotHeld(const Configuration& wanted,
                                                  const std::set<std::string>& given);

// "the device will not hold KEY = VALUE; it will store KEY = VALUE".
[[nodiscard]] std::string Describe(const NotHeldSetting& setting);

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

// Why a text file saved as UTF-16 is refused, and what to do.
inline constexpr std::string_view kUtf16Refused =
    "UTF-16 text (Notepad's \"Unicode\"): save it as UTF-8 and try again";

// All of a file, or of standard input for "-", without a leading UTF-8 byte-order mark. A file
// that cannot be read, is UTF-16, or is larger than a form can be, raises CliError (status 7).
[[nodiscard]] std::string LoadTextFile(const std::string& path);

// Whether a text or JSON form holds no setting at all (only blank lines and comments, or "{}").
[[nodiscard]] bool IsEmptyForm(const std::string& text);

// Whether `path` names standard input: "-", or a name for the same open file as descriptor 0.
[[nodiscard]] bool IsStandardInput(const std::string& path);

// Refuses (CliError, status 7) a place a file cannot be written to: a missing folder, a folder
// in place of the file. Checked before a command talks to the device.
void CheckOutputPlace(const std::string& path);

}  // namespace zorvik::cli
