// zorvik-sim's command line.
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace zorvik::testing {
namespace {

SimOptions Parse(const std::vector<std::string>& args) {
    const SimOptionsResult result = ParseSimOptions(args);
    EXPECT_TRUE(result.options.has_value()) << result.error;
    return result.options.value_or(SimOptions{});
}

std::string ErrorOf(const std::vector<std::string>& args) {
    const SimOptionsResult result = ParseSimOptions(args);
    EXPECT_FALSE(result.options.has_value());
    return result.error;
}

TEST(SimCommandLine, NoOptionsMeansAFaultlessPacedDevice) {
    const SimOptions options = Parse({});
    EXPECT_TRUE(options.pacing);
    EXPECT_FALSE(options.verbose);
    EXPECT_TRUE(options.port.empty());
    EXPECT_EQ(options.password, u"9466");
    EXPECT_FALSE(options.faults.noBanner);
    EXPECT_EQ(options.faults.writeReply, 'O');
    EXPECT_EQ(options.faults.firmwareCorruptPage, -1);
}

TEST(SimCommandLine, EveryFaultSwitchSetsItsFault) {
    const SimOptions options = Parse({"--no-banner",
                                      "--banner-free-running",
                                      "--banner-delay",
                                      "3000",
                                      "--split-banner",
                                      "--reject-password",
                                      "--silent-status",
                                      "--noise-before-status",
                                      "--bad-checksum-on-read",
                                      "--short-block-on-read",
                                      "--write-reply",
                                      "E",
                                      "--firmware-reject-command",
                                      "--firmware-error-after-page",
                                      "4",
                                      "--firmware-stray-letters",
                                      "--firmware-silent-after-page",
                                      "5",
                                      "--firmware-no-verify-banner",
                                      "--firmware-corrupt-page",
                                      "239"});
    const DeviceFaults& f = options.faults;
    EXPECT_TRUE(f.noBanner);
    EXPECT_TRUE(f.bannerFreeRunning);
    EXPECT_EQ(f.bannerDelayMs, 3000);
    EXPECT_TRUE(f.splitBanner);
    EXPECT_TRUE(f.rejectPassword);
    EXPECT_TRUE(f.silentStatus);
    EXPECT_TRUE(f.noiseBeforeStatus);
    EXPECT_TRUE(f.badChecksumOnRead);
    EXPECT_TRUE(f.shortBlockOnRead);
    EXPECT_EQ(f.writeReply, 'E');
    EXPECT_TRUE(f.firmwareRejectCommand);
    EXPECT_EQ(f.firmwareErrorAfterPage, 4);
    EXPECT_TRUE(f.firmwareStrayLetters);
    EXPECT_EQ(f.firmwareSilentAfterPage, 5);
    EXPECT_TRUE(f.firmwareNoVerifyBanner);
    EXPECT_EQ(f.firmwareCorruptPage, 239);
}

TEST(SimCommandLine, ProgramOptionsAreTaken) {
    const SimOptions options =
        Parse({"--port", "COM45", "--ports-dir", "/run/x", "--no-pacing", "--verbose",
               "--unplug-after", "2.5", "--firmware-in", "in.bin", "--firmware-out", "out.bin",
               "--latency-report", "lat.txt", "--image", "a.zvk", "--password", "1234"});
    EXPECT_EQ(options.port, "COM45");
    EXPECT_EQ(options.portsDir, "/run/x");
    EXPECT_FALSE(options.pacing);
    EXPECT_TRUE(options.verbose);
    EXPECT_EQ(options.unplugAfterSeconds, 2.5);
    EXPECT_EQ(options.firmwareIn, "in.bin");
    EXPECT_EQ(options.firmwareOut, "out.bin");
    EXPECT_EQ(options.latencyReport, "lat.txt");
    EXPECT_EQ(options.imageIn, "a.zvk");
    EXPECT_EQ(options.password, u"1234");
}

TEST(SimCommandLine, UnplugAfterTakesSecondsOrANamedStep) {
    struct StepCase {
        const char* value;
        PullStep step;
        int page;
    };
    const StepCase cases[] = {
        {"banner", PullStep::Banner, 0},           {"auth", PullStep::AuthBlock, 0},
        {"transfer", PullStep::Transfer, 0},       {"status", PullStep::TransferStatus, 0},
        {"page:3", PullStep::ProgramPage, 3},      {"verify:0", PullStep::VerifyPage, 0},
        {"verify:239", PullStep::VerifyPage, 239},
    };
    for (const StepCase& c : cases) {
        const SimOptions options = Parse({"--unplug-after", c.value});
        EXPECT_EQ(options.faults.pullAt, c.step) << c.value;
        EXPECT_EQ(options.faults.pullPage, c.page) << c.value;
        EXPECT_FALSE(options.unplugAfterSeconds) << c.value;
    }
    const SimOptions second = Parse({"--unplug-after", "auth#2"});
    EXPECT_EQ(second.faults.pullAt, PullStep::AuthBlock);
    EXPECT_EQ(second.faults.pullCount, 2);
    EXPECT_EQ(Parse({"--unplug-after", "verify:3#4"}).faults.pullPage, 3);
    EXPECT_EQ(Parse({"--unplug-after", "0.3"}).faults.pullAt, PullStep::Never);
    for (const char* wrong :
         {"page:240", "page:", "page", "verify:-1", "Banner", "erase", "auth#0", "auth#"}) {
        ErrorOf({"--unplug-after", wrong});
    }
    EXPECT_EQ(Parse({"--firmware-erase-ms", "8000"}).faults.firmwareEraseMs, 8000);
}

TEST(SimCommandLine, WriteReplyNoneMeansNoReplyAtAll) {
    EXPECT_EQ(Parse({"--write-reply", "none"}).faults.writeReply, 0);
    EXPECT_EQ(Parse({"--write-reply", "R"}).faults.writeReply, 'R');
}

TEST(SimCommandLine, WrongCommandLinesAreRefusedWithTheReason) {
    EXPECT_EQ(ErrorOf({"--frobnicate"}), "unknown option: --frobnicate");
    EXPECT_EQ(ErrorOf({"--port"}), "--port needs a value");
    EXPECT_EQ(ErrorOf({"--port", "COM041"}), "bad value for --port: COM041");
    // Only COM41 to COM50 are looked up in the port folder.
    ErrorOf({"--port", "COM40"});
    ErrorOf({"--port", "COM51"});
    EXPECT_EQ(Parse({"--port", "COM50"}).port, "COM50");
    ErrorOf({"--write-reply", "X"});
    ErrorOf({"--write-reply", ""});
    ErrorOf({"--banner-delay", "-1"});
    ErrorOf({"--banner-delay", "12ms"});
    ErrorOf({"--unplug-after", "soon"});
    ErrorOf({"--unplug-after", "-1"});
    ErrorOf({"--firmware-corrupt-page", "240"});
    ErrorOf({"--firmware-error-after-page", ""});
    ErrorOf({"--password", "123"});
    ErrorOf({"--password-file", ""});
}

TEST(SimCommandLine, HelpListsEveryOption) {
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"--version"}).version);
    const std::string usage = SimUsage();
    for (const char* option : {"--port",
                               "--ports-dir",
                               "--no-pacing",
                               "--verbose",
                               "--unplug-after",
                               "--firmware-erase-ms",
                               "--firmware-in",
                               "--firmware-out",
                               "--latency-report",
                               "--image",
                               "--password",
                               "--help",
                               "--version",
                               "--no-banner",
                               "--banner-free-running",
                               "--banner-delay",
                               "--split-banner",
                               "--reject-password",
                               "--silent-status",
                               "--noise-before-status",
                               "--bad-checksum-on-read",
                               "--short-block-on-read",
                               "--write-reply",
                               "--firmware-reject-command",
                               "--firmware-error-after-page",
                               "--firmware-stray-letters",
                               "--firmware-silent-after-page",
                               "--firmware-no-verify-banner",
                               "--firmware-corrupt-page"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

TEST(ComPortNames, OnlyComFollowedByANumberFrom1To255) {
    EXPECT_TRUE(IsComPortName("COM1"));
    EXPECT_TRUE(IsComPortName("COM41"));
    EXPECT_TRUE(IsComPortName("COM255"));
    EXPECT_FALSE(IsComPortName("COM0"));
    EXPECT_FALSE(IsComPortName("COM256"));
    EXPECT_FALSE(IsComPortName("COM07"));
    EXPECT_FALSE(IsComPortName("COM"));
    EXPECT_FALSE(IsComPortName("com4"));
    EXPECT_FALSE(IsComPortName("COM4a"));
    EXPECT_FALSE(IsComPortName("COM+4"));
    EXPECT_FALSE(IsComPortName("../COM4"));
}

}  // namespace
}  // namespace zorvik::testing
