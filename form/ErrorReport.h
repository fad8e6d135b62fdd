// The general error report: a port or file error that leaves a handler, shown in an error box.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "form/Form.h"
#include "words/Dialogs.h"

namespace zorvik {

// The application's title, which captions the general error report.
inline constexpr const char* kApplicationTitle = "Zorvik GSM";

// The report's text: the error's text with "." appended when its last character's code is above
// that of "." (so "... (Error: 2)" gets none). For a port error whose cause is known (no device,
// no linked device, a refused port folder, no rights, held by another program, a device that
// went away, ...) and for a file refused for lack of rights, a second line says how to fix it
// on Linux; the first line stays as it was. An error raised with another nested in it (what a
// firmware update cut short raises) is the nested one's report with the outer text as its last
// line.
[[nodiscard]] std::string ErrorReportText(const std::exception& error);

// Runs one handler's body at the handler's edge. An exception that leaves it ends the handler
// there and is shown with flags 16, captioned with the application's title; it never reaches the
// window system. Every handler of every window runs its body through this.
void RunHandler(Dialogs& dialogs, const std::function<void()>& body);

namespace form {

// The runner every face starts from: each handler's body inside the general error report, and a
// command's exchange run as it comes. A face adds what makes the window busy meanwhile.
class ErrorReportRunner : public CommandRunner {
public:
    explicit ErrorReportRunner(Dialogs& dialogs) : dialogs_(dialogs) {}

    void Run(const Body& body) override { RunHandler(dialogs_, body); }
    void RunBusy(const Body& body) override { body(); }

private:
    Dialogs& dialogs_;
};

}  // namespace form

}  // namespace zorvik
