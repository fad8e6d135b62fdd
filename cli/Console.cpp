// Interrupt handling, the silent notices and the interruptible clock of the command line.
#include "cli/Console.h"

#include <atomic>
#include <cstdio>

#include "config/PrintableText.h"
#include "words/NoticeWords.h"

namespace zorvik::cli {

namespace {

// Lock-free, so a signal handler (or Windows' console handler thread) may change them.
std::atomic<int> gInterrupts = 0;                    // Ctrl-C presses so far
std::atomic<bool> gTerminated = false;               // a SIGTERM, SIGHUP or SIGPIPE came
std::atomic<bool> gPipeClosed = false;               // a SIGPIPE came: a reader closed its end
std::atomic<const char*> gTerminateCause = nullptr;  // what asked first for the end
std::string gCommitWarning;                          // set once a stop needs a second press
std::atomic<bool> gWarned = false;                   // several ports may reach a stop point at once
Verbosity gVerbosity = Verbosity::Normal;

}  // namespace

void NoteInterrupt(bool terminate, const char* cause) noexcept {
    if (terminate) {
        const char* none = nullptr;
        if (cause != nullptr) {
            gTerminateCause.compare_exchange_strong(none, cause);
        }
        gTerminated = true;
    } else {
        ++gInterrupts;
    }
}

void NotePipeClosed() noexcept {
    const char* none = nullptr;
    gTerminateCause.compare_exchange_strong(none, "SIGPIPE");
    gPipeClosed = true;
    gTerminated = true;
}

void StopIfInterrupted() {
    if (gTerminated) {
        throw Interrupted(true);
    }
    const int presses = gInterrupts;
    if (presses == 0) {
        return;
    }
    if (gCommitWarning.empty() || presses >= 2) {
        throw Interrupted();
    }
    if (!gWarned.exchange(true)) {
        std::fprintf(stderr, "\nzorvik-cli: %s\n", gCommitWarning.c_str());
    }
}

bool PipeReaderLeft() {
    return gPipeClosed != 0;
}

bool StopRequested() {
    return gInterrupts > 0 || gTerminated;
}

bool TerminateRequested() {
    return gTerminated;
}

std::string_view TerminateCause() {
    const char* cause = gTerminateCause;
    return cause == nullptr ? std::string_view() : std::string_view(cause);
}

void RequireSecondInterrupt(std::string_view warning) {
    // Called right after the step that commits the device; a press that came a moment before it
    // is taken as the first press after it.
    gCommitWarning = std::string(warning);
}

void SetVerbosity(Verbosity verbosity) {
    gVerbosity = verbosity;
}

Verbosity CurrentVerbosity() {
    return gVerbosity;
}

void Step(const std::string& what) {
    if (gVerbosity == Verbosity::Verbose) {
        std::fprintf(stderr, "zorvik-cli: %s\n", PrintableText(what).c_str());
    }
}

void Warn(const std::string& what) {
    if (gVerbosity != Verbosity::Quiet) {
        std::fprintf(stderr, "zorvik-cli: warning: %s\n", PrintableText(what).c_str());
    }
}

void ConsoleNotices::Notify(const Notice& notice, PortObserver* trace) {
    if (trace != nullptr) {
        TellTrace(*trace, notice);
    }
}

void ConsoleClock::Sleep(int ms) {
    StopIfInterrupted();
    SystemClock::Sleep(ms);
}

void ConsoleClock::WhileWaiting() {
    StopIfInterrupted();
}

}  // namespace zorvik::cli
