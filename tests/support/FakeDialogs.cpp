// Scripted dialogs for tests.
#include "tests/support/FakeDialogs.h"

namespace zorvik::testing {

int FakeDialogs::MessageBox(const std::string& text, const std::string& caption, int flags) {
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

std::optional<std::string> FakeDialogs::OpenFileName(const FileDialogOptions& options) {
    openRequests.push_back(options);
    if (openNames.empty()) {
        return std::nullopt;
    }
    auto name = openNames.front();
    openNames.pop_front();
    return name;
}

std::optional<std::string> FakeDialogs::SaveFileName(const FileDialogOptions& options) {
    saveRequests.push_back(options);
    if (saveNames.empty()) {
        return std::nullopt;
    }
    auto name = saveNames.front();
    saveNames.pop_front();
    return name;
}

}  // namespace zorvik::testing
