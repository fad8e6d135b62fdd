// Message boxes that record what was shown and answer from a script, so no test blocks on a window.
#pragma once

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "words/Dialogs.h"

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

// What was shown, and the answers to give; shared by the commands' and the windows' fakes.
struct MessageScript {
    // Records a message and answers it.
    int Show(const std::string& text, const std::string& caption, int flags);

    // What was shown, in order.
    std::vector<ShownMessage> messages;

    // Scripted answers, taken from the front. With none left: OK, and No for a question.
    std::deque<int> answers;

    // Runs while a message is "on screen", before it is answered: lets a test look at the
    // window or the line at that very moment, or log the message beside the bytes.
    std::function<void(const ShownMessage&)> onMessage;
};

class FakeDialogs : public Dialogs, public MessageScript {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override {
        return Show(text, caption, flags);
    }
};

}  // namespace zorvik::testing
