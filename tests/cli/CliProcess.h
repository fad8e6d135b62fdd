// zorvik-cli run as a child process: its arguments, environment and standard input given, its
// standard output, standard error and exit status taken.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zorvik::testing {

struct CliRun {
    int status = -1;  // the exit status; 128 + n when killed by signal n
    std::string out;
    std::string err;
};

struct CliCall {
    std::vector<std::string> args;
    std::map<std::string, std::string> env;  // set on top of the test's own environment
    std::vector<std::string> unset;          // removed from it
    std::string input;                       // standard input, then end of file
    std::string inputPath;                   // or: standard input opened from this path
    bool inputClosed = false;                // or: no standard input at all
    int interruptAfterMs = -1;               // send `interruptSignal` this long after the start
    int interruptSignal = 2;                 // SIGINT
    std::function<bool()> interruptWhen;     // or: as soon as this holds (polled every 10 ms)
};

// Runs the program and waits for it to end.
[[nodiscard]] CliRun RunCli(const std::string& program, const CliCall& call);

// Runs the program on a terminal of its own (a pty as its controlling terminal and its standard
// streams) and types `typed`, one line after each prompt ending in "password: ". Everything the
// terminal showed, echo included, is in `out`.
[[nodiscard]] CliRun RunCliOnTerminal(const std::string& program, const CliCall& call,
                                      const std::vector<std::string>& typed);

// A path the program printed, as this process opens it: under Wine a Windows path
// ("C:\\users\\...") is followed through its drive's link in the prefix; elsewhere the path as it
// stands.
[[nodiscard]] std::string HostPath(const std::string& printed);

// Empties the history the program keeps when the tests turn it on. Under Wine that is the
// prefix's own (the user's local application data), which outlives a test; elsewhere each test
// names a folder of its own, and nothing is done.
void ForgetWineHistory();

}  // namespace zorvik::testing
