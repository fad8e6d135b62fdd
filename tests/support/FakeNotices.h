// Notices recorded as the commands tell them, so that a command's test asserts what it told and
// not how the window words it.
#pragma once

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "words/NoticeWords.h"
#include "device/Notice.h"

namespace zorvik::testing {

class FakeNotices : public Notices {
public:
    // A trace still hears each notice in the window's words, as it does in the program.
    void Notify(const Notice& notice, PortObserver* trace) override {
        if (trace != nullptr) {
            TellTrace(*trace, notice);
        }
        told.push_back(notice);
        if (onNotice) {
            onNotice(notice);
        }
    }

    // What was told, in order.
    std::vector<Notice> told;
    // Runs while the notice is being told, before the command goes on.
    std::function<void(const Notice&)> onNotice;
};

// One line of a log for a notice: its kind and value ("told 0/0" for ReadOutcome::Read).
inline std::string Told(const Notice& notice) {
    const int value = std::visit([](auto outcome) { return static_cast<int>(outcome); }, notice);
    return "told " + std::to_string(notice.index()) + "/" + std::to_string(value);
}

}  // namespace zorvik::testing
