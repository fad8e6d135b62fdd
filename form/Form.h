// What every window of the program is without a toolkit: its controls made from its design, and
// the few things only a face can do for it, each behind a small interface that tests fake.
#pragma once

#include <functional>
#include <string_view>
#include <utility>

#include "form/ControlSet.h"
#include "form/WindowDialogs.h"

namespace zorvik {
class Clock;
class PortMap;
}  // namespace zorvik

namespace zorvik::form {

class TForm;

// How every window runs its handlers: each body inside the general error report, and a command's
// exchange with the device with the window busy (no user input, a busy cursor) while it stays
// painted and answers assistive technology.
class CommandRunner {
public:
    using Body = std::function<void()>;
    virtual ~CommandRunner() = default;
    virtual void Run(const Body& body) = 0;
    virtual void RunBusy(const Body& body) = 0;
    // Runs a handler that opens a window or talks to the device once the user's action that
    // started it (a click, a key, a screen reader's action) has returned to the face; a runner
    // without an event loop runs it at once.
    virtual void Later(Body body) { body(); }
};

// Shows another window of the program modally and returns when it has closed.
class ModalWindows {
public:
    virtual ~ModalWindows() = default;
    virtual void ShowModal(TForm& window) = 0;
};

// What a face lends the windows. The clock is the one the commands pause on: a face's clock keeps
// the window painted meanwhile.
struct FormServices {
    WindowDialogs& dialogs;
    CommandRunner& runner;
    Clock& clock;
    ModalWindows& windows;
    const PortMap& ports;
};

class TForm {
public:
    explicit TForm(const WindowDesign& design) : controls_(design) {}
    virtual ~TForm() = default;
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    [[nodiscard]] const ControlSet& Controls() const { return controls_; }
    [[nodiscard]] const WindowDesign& Design() const { return controls_.Design(); }

    // The face closes its window when the logic asks (a menu's "Wyjście"); for a modal window
    // that ends ShowModal. The face asks FormCloseQuery first, as for any other close.
    void SetCloser(std::function<void()> close) { close_ = std::move(close); }
    void Close() const {
        if (close_) {
            close_();
        }
    }
    // Whether the window may close now; the main window asks the user.
    [[nodiscard]] virtual bool FormCloseQuery() { return true; }
    // Run by the face each time the window is shown.
    virtual void FormShow() {}
    // Run by the face whenever the window closes, whatever closed it.
    virtual void FormClose() {}

protected:
    template <typename T>
    [[nodiscard]] T& Control(std::string_view name) const {
        return controls_.Get<T>(name);
    }

private:
    ControlSet controls_;
    std::function<void()> close_;
};

}  // namespace zorvik::form
