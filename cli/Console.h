// The command line's implementations of the protocol's seams: notices that show nothing, and the
// real clock, stopping at the next pause after Ctrl-C.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "device/Notice.h"
#include "serial/Clock.h"

namespace zorvik::cli {

// Thrown at a stop point once Ctrl-C or SIGTERM has asked for a stop; unwinding closes the port.
class Interrupted : public std::exception {
public:
    explicit Interrupted(bool terminated = false) : terminated_(terminated) {}
    [[nodiscard]] const char* what() const noexcept override {
        return terminated_ ? "terminated" : "interrupted";
    }
    // SIGTERM (or SIGHUP, SIGPIPE) rather than Ctrl-C: the exit status is then 143.
    [[nodiscard]] bool Terminated() const { return terminated_; }

private:
    bool terminated_;
};

// Counts SIGINT and notes SIGTERM, SIGHUP and SIGPIPE instead of dying at once, so a command ends
// between two steps with its port closed. System calls are not restarted, so a password prompt
// ends at once as well. SIGTERM and its kin stop at the next step even where a Ctrl-C would only
// warn. SIGXFSZ is caught and does nothing: a file too large is then a file error. On Windows
// Ctrl-Break counts as Ctrl-C, and the console closing as SIGTERM. Filled by each platform's
// System file.
void InstallInterruptHandler();

// Counts a Ctrl-C press, or with `terminate` notes a request to end, and what asked for it (a
// string literal: "SIGTERM", "its console window closing"); called from the platform's interrupt
// handler, so it only stores.
void NoteInterrupt(bool terminate, const char* cause = nullptr) noexcept;
// Notes that a reader closed its end of a pipe this program wrote to, which also ends the command.
void NotePipeClosed() noexcept;

// Throws Interrupted when a stop was asked for and may happen now.
void StopIfInterrupted();

// Whether a reader closed its end of a pipe this program wrote to (`| head`, `| grep -q`).
[[nodiscard]] bool PipeReaderLeft();

// Whether Ctrl-C (or SIGTERM) has come at least once, for work that ends at its next pause.
[[nodiscard]] bool StopRequested();
// Whether that stop was SIGTERM (or its kin), which ends with status 143.
[[nodiscard]] bool TerminateRequested();
// What asked for that end, as the first request named it ("SIGTERM"); empty when none did.
[[nodiscard]] std::string_view TerminateCause();

// From here on one Ctrl-C only prints `warning`; a second one stops all the same. Used once the
// device has started something that a stop would leave half done.
void RequireSecondInterrupt(std::string_view warning);

// How much goes to standard error besides failures: -q leaves out progress, confirmations and
// warnings; -v adds each step of a command.
enum class Verbosity { Quiet, Normal, Verbose };
void SetVerbosity(Verbosity verbosity);
[[nodiscard]] Verbosity CurrentVerbosity();
// A step of a command, shown with -v only: "zorvik-cli: COM41: reading the configuration".
void Step(const std::string& what);
// A warning, left out with -q: "zorvik-cli: warning: ...".
void Warn(const std::string& what);

// The command line words its own results from the commands' outcomes, so a notice shows
// nothing here; a trace still records it in the window's words, as the window's trace does.
class ConsoleNotices : public Notices {
public:
    void Notify(const Notice& notice, PortObserver* trace) override;
};

// Real time; every pause is a point where Ctrl-C may stop the command.
class ConsoleClock : public SystemClock {
public:
    void Sleep(int ms) override;

protected:
    void WhileWaiting() override;
};

}  // namespace zorvik::cli
