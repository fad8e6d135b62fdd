// Message boxes and file dialogs, behind one interface so that commands can be tested without a
// screen.
#pragma once

#include <optional>
#include <string>

namespace zorvik {

// Message box flags, as the product uses them.
constexpr int kMbError = 16;        // error icon, OK button
constexpr int kMbQuestion = 36;     // question icon, Yes and No buttons
constexpr int kMbInformation = 64;  // information icon, OK button

// Message box results.
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

struct FileDialogOptions {
    std::string filter;      // "Description|*.ext", as the product writes it
    std::string defaultExt;  // appended when the typed name has none; empty for none
    bool confirmOverwrite = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a modal message box (texts in UTF-8) and returns the button pressed.
    virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;

    // The chosen file's full path, or nothing when the user cancels.
    [[nodiscard]] virtual std::optional<std::string> OpenFileName(
        const FileDialogOptions& options) = 0;
    [[nodiscard]] virtual std::optional<std::string> SaveFileName(
        const FileDialogOptions& options) = 0;
};

}  // namespace zorvik
