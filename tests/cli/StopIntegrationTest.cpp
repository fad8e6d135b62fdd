// A command stopped by a signal at a named step of the simulated device: it ends at once with the
// signal's status, and says what the device holds.
#include <signal.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/cli/SimBench.h"

namespace zorvik::testing {
namespace {

// The simulator's log lines that name the steps: the host opened the port (with --verbose), and
// the device left a password or a block unanswered (with a fault that makes it so).
constexpr const char* kOpened = "host flushed its input";
constexpr const char* kPasswordUnanswered = "password: left unanswered";
constexpr const char* kBlockUnanswered = ": left unanswered";

TEST(CliStops, EachSignalAtEachStepSaysWhatTheDeviceHolds) {
    struct Row {
        const char* name;
        int signal;
        std::vector<std::string> simArgs;
        std::vector<std::string> cliArgs;  // FILE: the form below
        std::string input;
        const char* step;  // the log line at which the signal goes
        int status;
        const char* said;
    };
    const std::string configuration = "report.interval_hours = 5\n";
    const std::string security = "protection = on\ntelephone = +48600100200\n";
    const Row rows[] = {
        {"SIGHUP before a write sends",
         SIGHUP,
         {"--no-banner", "--verbose"},
         {"write", "-p", "PORT", "FILE"},
         configuration,
         kOpened,
         143,
         "terminated before the configuration was sent; the device was not changed"},
        {"SIGPIPE after a write sent",
         SIGPIPE,
         {"--write-reply", "none"},
         {"write", "-p", "PORT", "FILE"},
         configuration,
         kBlockUnanswered,
         143,
         "; the configuration may be stored"},
        {"SIGTERM before passwd sends",
         SIGTERM,
         {"--no-banner", "--verbose"},
         {"passwd", "-p", "PORT", "--new-password-stdin"},
         "1234\n",
         kOpened,
         143,
         "terminated before the new password went out; the device was not changed"},
        {"Ctrl-C after passwd sent",
         SIGINT,
         {"--silent-status"},
         {"passwd", "-p", "PORT", "--new-password-stdin"},
         "1234\n",
         kPasswordUnanswered,
         130,
         "interrupted after the new password went out; the device may hold the new password: "
         "try it first"},
        {"SIGHUP after security sent",
         SIGHUP,
         {"--write-reply", "none"},
         {"security", "-p", "PORT", "FILE", "--passwords-stdin"},
         "0123456789\n",
         kBlockUnanswered,
         143,
         "; the anti-theft settings may be stored"},
        {"SIGTERM after provision sent",
         SIGTERM,
         {"--write-reply", "none"},
         {"provision", "-p", "PORT", "FILE", "--devices", "TABLE"},
         "",
         kBlockUnanswered,
         143,
         "row r1 failed: terminated by SIGTERM; the configuration may be stored"},
        {"SIGTERM while a station waits",
         SIGTERM,
         {"--no-banner", "--verbose"},
         {"provision", "-p", "PORT", "FILE", "--devices", "TABLE", "--watch"},
         "",
         kOpened,
         143,
         "rows: 0 done, 0 failed, 1 not started"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bench bench(row.simArgs);
        ASSERT_FALSE(bench.Port().empty());
        const std::string form =
            bench.WriteText("form.txt", row.cliArgs[0] == "security" ? security : configuration);
        std::vector<std::string> args;
        const std::string table = bench.WriteText("table.csv", "id\nr1\n");
        for (const std::string& arg : row.cliArgs) {
            args.push_back(arg == "PORT"    ? bench.Port()
                           : arg == "FILE"  ? form
                           : arg == "TABLE" ? table
                                            : arg);
        }
        CliCall call;
        call.input = row.input;
        call.interruptSignal = row.signal;
        const std::string log = bench.Sim().LogPath();
        call.interruptWhen = [&log, step = std::string(row.step)] {
            const auto bytes = TempFolder::Read(log);
            return std::string(bytes.begin(), bytes.end()).find(step) != std::string::npos;
        };
        const CliRun run = bench.Run(args, call);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_NE(run.err.find(row.said), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("1234"), std::string::npos) << "a password from a pipe is not shown";
    }
}

}  // namespace
}  // namespace zorvik::testing
