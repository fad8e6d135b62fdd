// What the Windows face lends the windows: the system's message boxes and file dialogs, a clock
// whose pauses keep the windows painted, the command runner and modal showing.
#pragma once

#include "win32/Windows.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "form/ErrorReport.h"
#include "form/Form.h"
#include "serial/Clock.h"

namespace zorvik::win32 {

// Whether a command holds the windows busy: the busy cursor, and no user input.
[[nodiscard]] bool WindowBusy();

class WinDialogs : public WindowDialogs {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    std::optional<std::string> OpenFileName(const FileDialogOptions& options) override;
    std::optional<std::string> SaveFileName(const FileDialogOptions& options) override;
};

// Pauses in real time; meanwhile the windows paint and answer the system, and what the user
// types or clicks is dropped.
class WinClock : public SystemClock {
protected:
    void WhileWaiting() override;
};

// Runs every handler inside the general error report; a command's exchange busy. An error
// leaves the exchange as it came and ends its handler there, reported once.
class WinCommandRunner : public form::ErrorReportRunner {
public:
    explicit WinCommandRunner(Dialogs& dialogs);
    ~WinCommandRunner() override;
    WinCommandRunner(const WinCommandRunner&) = delete;
    WinCommandRunner& operator=(const WinCommandRunner&) = delete;

    void RunBusy(const Body& body) override;
    // Posted to a window of the runner's own: the click returns first, and the handler then runs
    // from the message loop.
    void Later(Body body) override;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND later_ = nullptr;
};

// Shows another window modally over the window active now.
class WinModalWindows : public form::ModalWindows {
public:
    explicit WinModalWindows(std::function<std::vector<std::string>()> listPorts)
        : listPorts_(std::move(listPorts)) {}
    void ShowModal(form::TForm& window) override;

private:
    std::function<std::vector<std::string>()> listPorts_;
};

// The messages waiting now, without the user's input, which is dropped.
void PumpWithoutInput();

}  // namespace zorvik::win32
