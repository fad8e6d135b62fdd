// Opening a configuration file into the window's controls and saving the controls as one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "config/ImageControls.h"
#include "link/Dialogs.h"

namespace zorvik {

constexpr std::uint64_t kMaxConfigFileSize = 2048;  // longer files are refused

// The dialogs' options, as the menu items show them.
[[nodiscard]] FileDialogOptions ConfigOpenDialogOptions();
[[nodiscard]] FileDialogOptions ConfigSaveDialogOptions();

// "Otwórz": asks for a file and decodes its first 256 bytes into the controls. A file longer than
// 2048 bytes is refused with a message and blanks the file label; a shorter one, or one that cannot
// be read, raises EInOutError and changes neither the controls nor the label. `setFileLabel`
// receives the file's full path once its settings are loaded.
void OpenConfigFile(Dialogs& dialogs, ImageControls& controls,
                    const std::function<void(const std::string&)>& setFileLabel);

// "Zapisz": asks for a file name and writes the encoded image, exactly 256 bytes, replacing the
// file only once the new one is complete. Failures raise EInOutError.
void SaveConfigFile(Dialogs& dialogs, const ImageControls& controls);

}  // namespace zorvik
