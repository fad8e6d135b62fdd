// The file menu's open and save commands: the dialogs, the message, the file label.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "form/WindowDialogs.h"
#include "config/ConfigImage.h"

namespace zorvik {

// The dialogs' options, as the menu items show them.
[[nodiscard]] FileDialogOptions ConfigOpenDialogOptions();
[[nodiscard]] FileDialogOptions ConfigSaveDialogOptions();

// What the window's file label is told: the file's full path for its hint, and the text to show.
using SetFileLabel = std::function<void(const std::string& path, const std::string& text)>;

// "Otwórz": asks for a file and returns its first 256 bytes, for the caller to decode; nothing
// when the dialog is cancelled or the file is refused. A file longer than 2048 bytes is refused
// with a message, and the label then shows a blank with the refused path as its hint; a shorter
// one, or one that cannot be read, raises EInOutError and leaves the label alone. Once the image
// is read the label shows the file's full path.
[[nodiscard]] std::optional<ConfigImage> OpenConfigFile(WindowDialogs& dialogs,
                                                        const SetFileLabel& setFileLabel);

// `path` taken from the current folder; as given when there is none to take it from (an empty
// path, a current folder that is gone), for opening to fail on as it would.
[[nodiscard]] std::string FullPath(const std::string& path);

// "Otwórz" once its dialog has chosen `path`: the same checks, message and label. A relative path
// is taken from the current folder (FullPath), and the label names the file by its full path.
[[nodiscard]] std::optional<ConfigImage> OpenConfigFileAt(WindowDialogs& dialogs,
                                                          const std::string& path,
                                                          const SetFileLabel& setFileLabel);

// "Zapisz": asks for a file name and writes the image `encodeImage` builds, exactly 256 bytes,
// replacing the file only once the new one is complete. Failures raise EInOutError.
void SaveConfigFile(WindowDialogs& dialogs, const std::function<ConfigImage()>& encodeImage);

}  // namespace zorvik
