// Dialogs that record what was shown and answer from a script, so no test blocks on a window.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "link/Dialogs.h"

namespace zorvik::testing {

struct ShownMessage {
    std::string text;
    std::string caption;
    int flags = 0;

    bool operator==(const ShownMessage&) const = default;
};

// Shows a message as its caption, text and flags when an expectation fails.
inline void PrintTo(const ShownMessage& message, std::ostream* out) {
    *out << '{' << message.caption << ": \"" << message.text << "\", " << message.flags << '}';
}

class FakeDialogs : public Dialogs {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    std::optional<std::string> OpenFileName(const FileDialogOptions& options) override;
    std::optional<std::string> SaveFileName(const FileDialogOptions& options) override;

    // What was shown, in order.
    std::vector<ShownMessage> messages;
    std::vector<FileDialogOptions> openRequests;
    std::vector<FileDialogOptions> saveRequests;

    // Scripted answers, taken from the front. With none left: OK, No for a question, and a
    // cancelled file dialog.
    std::deque<int> answers;
    std::deque<std::optional<std::string>> openNames;
    std::deque<std::optional<std::string>> saveNames;

    // Runs while a message is "on screen", before it is answered: lets a test look at the
    // window or the line at that very moment, or log the message beside the bytes.
    std::function<void(const ShownMessage&)> onMessage;
};

}  // namespace zorvik::testing
