// The windows' dialogs: the message boxes every command shows, and the file dialogs that only the
// file menu and the firmware window ask for.
#pragma once

#include <optional>
#include <string>

#include "words/Dialogs.h"

namespace zorvik {

struct FileDialogOptions {
    std::string filter;      // "Description|*.ext", as the product writes it
    std::string defaultExt;  // appended when the typed name has none; empty for none
    bool confirmOverwrite = false;
};

class WindowDialogs : public Dialogs {
public:
    // The chosen file's full path, or nothing when the user cancels.
    [[nodiscard]] virtual std::optional<std::string> OpenFileName(
        const FileDialogOptions& options) = 0;
    [[nodiscard]] virtual std::optional<std::string> SaveFileName(
        const FileDialogOptions& options) = 0;
};

}  // namespace zorvik
