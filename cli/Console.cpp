// Interrupt handling, the silent dialogs and the interruptible clock of the command line.
#include "cli/Console.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>

namespace zorvik::cli {

namespace {

volatile sig_atomic_t gInterrupts = 0;  // Ctrl-C presses (and SIGTERMs) so far
std::string gCommitWarning;             // set once a stop needs a second press
bool gWarned = false;

void CountInterrupt(int /*signal*/) {
    gInterrupts = gInterrupts + 1;
}

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = CountInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocking read returns EINTR
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

void StopIfInterrupted() {
    const int presses = gInterrupts;
    if (presses == 0) {
        return;
    }
    if (gCommitWarning.empty() || presses >= 2) {
        throw Interrupted();
    }
    if (!gWarned) {
        gWarned = true;
        std::fprintf(stderr, "\nzorvik-cli: %s\n", gCommitWarning.c_str());
    }
}

void RequireSecondInterrupt(std::string_view warning) {
    // Called right after the step that commits the device; a press that came a moment before it
    // is taken as the first press after it.
    gCommitWarning = std::string(warning);
}

int ConsoleDialogs::MessageBox(const std::string& /*text*/, const std::string& /*caption*/,
                               int /*flags*/) {
    return kIdOk;
}

void ConsoleClock::Sleep(int ms) {
    StopIfInterrupted();
    SystemClock::Sleep(ms);
}

void ConsoleClock::WhileWaiting() {
    StopIfInterrupted();
}

}  // namespace zorvik::cli
