// One scripted session traced by zorvik-cli on Linux and by zorvik-cli.exe under Wine: the same
// bytes each way and the same steps, whatever the times, the command line and the port's path.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/cli/CliProcess.h"
#include "tests/cli/SimBench.h"

namespace zorvik::testing {
namespace {

// A trace's events without their times: steps as they are ("port opened" with the port's name
// alone), and the bytes of each direction joined until the other direction or a step comes, since
// how the bytes arrive in reads depends on timing.
std::vector<std::string> Session(const std::string& trace) {
    std::vector<std::string> events;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string time;
        char kind = 0;
        fields >> time >> kind;
        if (time.empty() || time[0] == '#') {
            continue;
        }
        std::string rest;
        std::getline(fields >> std::ws, rest);
        if (kind == '>' || kind == '<') {
            const std::string hex = rest.substr(0, rest.find("  |"));
            if (!events.empty() && events.back()[0] == kind) {
                events.back() += " " + hex;
            } else {
                events.push_back(std::string(1, kind) + " " + hex);
            }
            continue;
        }
        if (rest.starts_with("port opened ")) {
            rest = rest.substr(0, rest.find(' ', 12));
        }
        events.push_back(std::string(1, kind) + " " + rest);
    }
    return events;
}

// The write comes first, so that each session finds the device holding the same image.
TEST(SameTrace, AWriteAndAReadGiveTheSameBytesAndStepsOnLinuxAndUnderWine) {
    Bench bench;
    ASSERT_EQ(bench.Port(), "COM41");
    const std::string form = bench.WriteText("f.txt", "report.interval_hours = 9\n");
    std::vector<std::string> sessions;
    for (const char* program : {ZORVIK_LINUX_CLI_PROGRAM, ZORVIK_CLI_PROGRAM}) {
        const std::string trace = bench.Folder().PathOf(std::to_string(sessions.size()) + ".trace");
        CliCall call;
        call.env.emplace("XDG_RUNTIME_DIR", bench.Folder().PathOf("runtime"));
        call.unset.push_back("ZORVIK_PASSWORD");
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"write", "-p", "COM41", form, "--trace", trace},
              std::vector<std::string>{"read", "-p", "COM41", "--trace", trace}}) {
            call.args = args;
            const CliRun run = RunCli(program, call);
            ASSERT_EQ(run.status, 0) << program << ": " << run.err;
        }
        sessions.push_back(bench.Text(std::to_string(sessions.size()) + ".trace"));
    }
    const std::vector<std::string> onLinux = Session(sessions[0]);
    EXPECT_GT(onLinux.size(), 8u) << sessions[0];
    EXPECT_EQ(Session(sessions[1]), onLinux) << sessions[0] << "\n" << sessions[1];
}

}  // namespace
}  // namespace zorvik::testing
