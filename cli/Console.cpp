// Interrupt handling, the silent notices and the interruptible clock of the command line.
#include "cli/Console.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "app/words/NoticeWords.h"
#include "config/PrintableText.h"

namespace zorvik::cli {

namespace {

volatile sig_atomic_t gInterrupts = 0;  // Ctrl-C presses so far
volatile sig_atomic_t gTerminated = 0;  // a SIGTERM, SIGHUP or SIGPIPE came
volatile sig_atomic_t gPipeClosed = 0;  // a SIGPIPE came: a reader closed its end
std::string gCommitWarning;             // set once a stop needs a second press
std::atomic<bool> gWarned = false;      // several ports may reach a stop point at once
Verbosity gVerbosity = Verbosity::Normal;

void CountInterrupt(int signal) {
    if (signal == SIGINT) {
        gInterrupts = gInterrupts + 1;
    } else {
        if (signal == SIGPIPE) {
            gPipeClosed = 1;
        }
        gTerminated = 1;
    }
}

// A write past the file size limit then fails with EFBIG, as a file error that removes its
// temporary, instead of killing the program with the temporary left behind. A handler rather
// than SIG_IGN, so that programs started from here get the signal's usual effect back.
void IgnoreFileSizeLimit(int /*signal*/) {}

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = CountInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocking read returns EINTR
    // A closed terminal (an SSH session dropped) and a closed pipe (standard error read by
    // `head`) end a command as a supervisor's SIGTERM does: at its next step, with what it has
    // done written down, instead of at once.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        ::sigaction(signal, &action, nullptr);
    }
    action.sa_handler = IgnoreFileSizeLimit;
    ::sigaction(SIGXFSZ, &action, nullptr);
}

void StopIfInterrupted() {
    if (gTerminated != 0) {
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
    return gInterrupts > 0;
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
