// Scripted message boxes for tests.
#include "tests/support/FakeDialogs.h"

namespace zorvik::testing {

int MessageScript::Show(const std::string& text, const std::string& caption, int flags) {
    messages.push_back({text, caption, flags});
    if (onMessage) {
        onMessage(messages.back());
    }
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return flags == kMbQuestion ? kIdNo : kIdOk;
}

}  // namespace zorvik::testing
