// The real message boxes and file dialogs, over Qt.
#pragma once

#include "form/WindowDialogs.h"

class QString;
class QWidget;

namespace zorvik {

// Each box and dialog is modal and stands over the window that is active when it is shown.
class QtDialogs : public WindowDialogs {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    [[nodiscard]] std::optional<std::string> OpenFileName(
        const FileDialogOptions& options) override;
    [[nodiscard]] std::optional<std::string> SaveFileName(
        const FileDialogOptions& options) override;
};

// The product's filter "Description|*.ext|Other|*.a;*.b" as Qt's "Description (*.ext);;Other
// (*.a *.b)"; each description is kept as written.
[[nodiscard]] QString QtFileFilter(const std::string& filter);

}  // namespace zorvik
