// Byte traces end to end: zorvik-cli --trace against zorvik-sim on a pty, the trace replayed by
// zorvik-sim --replay, and the support report. Real time, so every bound is generous.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/cli/CliProcess.h"
#include "tests/cli/SimBench.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

// The last line the program wrote on standard error: its verdict, after any progress lines.
std::string Verdict(const std::string& err) {
    std::string text = err;
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text.substr(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
}

std::string Hex(const std::string& text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const unsigned char c : text) {
        hex += hex.empty() ? "" : " ";
        hex += kDigits[c >> 4];
        hex += kDigits[c & 0x0F];
    }
    return hex;
}

TEST(TraceOverPty, AccessPasswordsFromTheEnvironmentOrAFileNeverReachTheTrace) {
    Bench desk({"--password", "7391"});
    ASSERT_EQ(desk.Sim().Name(), "COM41");
    const std::string passwordFile =
        desk.Folder().Write("pw", TempFolder::Bytes{'7', '3', '9', '1', '\n'});

    CliCall fromEnvironment;
    fromEnvironment.env = {{"ZORVIK_PASSWORD", "7391"}};
    ASSERT_EQ(
        desk.Run({"read", "-p", "COM41", "--trace", desk.Folder().PathOf("t")}, fromEnvironment)
            .status,
        0);
    ASSERT_EQ(desk.Run({"read", "-p", "COM41", "--password-file", passwordFile, "--trace",
                        desk.Folder().PathOf("t")})
                  .status,
              0);
    CliCall newPassword;
    newPassword.input = "8402\n";
    newPassword.env = {{"ZORVIK_TRACE", desk.Folder().PathOf("t")}};
    ASSERT_EQ(
        desk.Run({"passwd", "-p", "COM41", "--password-file", passwordFile, "--new-password-stdin"},
                 newPassword)
            .status,
        0);

    const std::string trace = desk.Text("t");
    EXPECT_NE(trace.find("passwd -p COM41"), std::string::npos) << trace;
    EXPECT_NE(trace.find("< 4F  |O|"), std::string::npos) << trace;
    for (const std::string secret : {"7391", "8402"}) {
        EXPECT_EQ(trace.find(secret), std::string::npos) << secret << " in\n" << trace;
        EXPECT_EQ(trace.find(Hex(secret)), std::string::npos) << secret << " in\n" << trace;
    }
}

// The output with the SIM PIN's digits left out: the trace masks them, and the replay makes up
// digits in their place.
std::string WithoutPin(std::string out) {
    const std::string key = "sim_pin.number = ";
    if (const auto at = out.find(key); at != std::string::npos) {
        out.erase(at + key.size(), out.find('\n', at) - at - key.size());
    }
    return out;
}

struct ReplayRow {
    const char* name;
    std::vector<std::string> simArgs;
    std::vector<std::string> cliArgs;  // "FW" stands for the firmware file, "CFG" for an image
};

// A host run against the replay of a trace ends as the traced run did: the same exit status and
// the same message, for each of the simulator's faults.
TEST(TraceOverPty, ReplayOfATraceEndsAsTheTracedRunDid) {
    const std::vector<std::string> read = {"read", "-p", "COM41"};
    const std::vector<std::string> flash = {"flash", "-p", "COM41", "FW"};
    const std::vector<ReplayRow> rows = {
        {"read", {}, read},
        {"no banner", {"--no-banner"}, read},
        {"late banner", {"--banner-delay", "1300"}, read},
        {"split banner", {"--split-banner"}, read},
        {"wrong password", {"--reject-password"}, read},
        {"silent status", {"--silent-status"}, read},
        {"noise before status", {"--noise-before-status"}, read},
        {"bad checksum", {"--bad-checksum-on-read"}, read},
        {"short block", {"--short-block-on-read"}, read},
        {"cable pulled", {"--unplug-after", "auth"}, read},
        {"write and read back", {}, {"write", "-p", "COM41", "CFG"}},
        {"write refused", {"--write-reply", "E"}, {"write", "-p", "COM41", "CFG"}},
        {"flash", {}, flash},
        {"flash refused", {"--firmware-reject-command"}, flash},
        {"error after a page", {"--firmware-error-after-page", "0"}, flash},
        {"stray letters", {"--firmware-stray-letters"}, flash},
        {"silent after a page", {"--firmware-silent-after-page", "0"}, flash},
        {"no verification banner", {"--firmware-no-verify-banner"}, flash},
        {"page read back wrong", {"--firmware-corrupt-page", "1"}, flash},
    };
    Bench desk;
    TempFolder::Bytes firmware(2 * 257);
    for (std::size_t i = 0; i < firmware.size(); ++i) {
        firmware[i] = static_cast<std::uint8_t>(i * 7);
    }
    const std::string firmwarePath = desk.Folder().Write("fw.bin", firmware);
    const std::string imagePath = desk.Folder().PathOf("cfg.zvk");
    ASSERT_EQ(desk.Run({"read", "-p", "COM41", "-o", imagePath}).status, 0);

    for (const ReplayRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args;
        for (const std::string& arg : row.cliArgs) {
            args.push_back(arg == "FW" ? firmwarePath : arg == "CFG" ? imagePath : arg);
        }
        const std::string tracePath = desk.Folder().PathOf(std::string(row.name) + ".trace");
        std::vector<std::string> traced = args;
        traced.insert(traced.end(), {"--trace", tracePath});

        desk.Restart(row.simArgs);
        ASSERT_EQ(desk.Sim().Name(), "COM41");
        const CliRun original = desk.Run(traced);
        desk.Restart({"--replay", tracePath});
        ASSERT_EQ(desk.Sim().Name(), "COM41");
        const CliRun replayed = desk.Run(args);

        EXPECT_EQ(replayed.status, original.status) << replayed.err << "\ntraced:\n"
                                                    << desk.Text(std::string(row.name) + ".trace");
        EXPECT_EQ(Verdict(replayed.err), Verdict(original.err));
        EXPECT_EQ(WithoutPin(replayed.out), WithoutPin(original.out));
    }
}

TEST(TraceOverPty, SupportReportNamesThePtyBackedPortItsDeviceAndTheTraceGiven) {
    Bench desk;
    ASSERT_EQ(desk.Sim().Name(), "COM41");
    const std::string tracePath = desk.Folder().PathOf("t");
    ASSERT_EQ(desk.Run({"read", "-p", "COM41", "--trace", tracePath}).status, 0);

    CliCall call;
    call.env = {{"ZORVIK_PASSWORD", "Sekret-In-Env"}};
    const std::string reportPath = desk.Folder().PathOf("report.txt");
    const CliRun run = desk.Run({"support-report", "-o", reportPath, "--trace", tracePath}, call);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string report = desk.Text("report.txt");
    EXPECT_NE(report.find("\nCOM41\n  device: " + desk.Sim().PtyPath()), std::string::npos)
        << report;
    EXPECT_NE(report.find("in group dialout: "), std::string::npos) << report;
    EXPECT_NE(report.find(desk.Text("t")), std::string::npos) << report;
    EXPECT_EQ(report.find("Sekret-In-Env"), std::string::npos) << report;
}

}  // namespace
}  // namespace zorvik::testing
