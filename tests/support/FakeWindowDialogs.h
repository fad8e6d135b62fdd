// The windows' dialogs for tests: scripted message boxes, and file dialogs that record what they
// were asked and answer from a script.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "form/WindowDialogs.h"
#include "tests/support/FakeDialogs.h"

namespace zorvik::testing {

class FakeWindowDialogs : public WindowDialogs, public MessageScript {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override {
        return Show(text, caption, flags);
    }
    std::optional<std::string> OpenFileName(const FileDialogOptions& options) override {
        openRequests.push_back(options);
        return Next(openNames);
    }
    std::optional<std::string> SaveFileName(const FileDialogOptions& options) override {
        saveRequests.push_back(options);
        return Next(saveNames);
    }

    std::vector<FileDialogOptions> openRequests;
    std::vector<FileDialogOptions> saveRequests;

    // Scripted file names, taken from the front; with none left the dialog is cancelled.
    std::deque<std::optional<std::string>> openNames;
    std::deque<std::optional<std::string>> saveNames;

private:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& names) {
        if (names.empty()) {
            return std::nullopt;
        }
        auto name = names.front();
        names.pop_front();
        return name;
    }
};

}  // namespace zorvik::testing
