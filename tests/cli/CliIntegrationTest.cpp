// zorvik-cli end to end: the program run as a child against zorvik-sim on a pty, on real time.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/cli/CliProcess.h"
#include "tests/cli/SimBench.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

CliCall WithInput(std::string input) {
    CliCall call;
    call.input = std::move(input);
    return call;
}

// Where a key's line starts in the text form ("key =" at the start of a line).
std::size_t LineOf(const std::string& text, const std::string& key) {
    const std::string start = key + " =";
    for (std::size_t at = text.find(start); at != std::string::npos;
         at = text.find(start, at + 1)) {
        if (at == 0 || text[at - 1] == '\n') {
            return at;
        }
    }
    ADD_FAILURE() << "no key " << key;
    return std::string::npos;
}

// A key's value in the text form.
std::string ValueOf(const std::string& text, const std::string& key) {
    const std::size_t at = LineOf(text, key);
    if (at == std::string::npos) {
        return {};
    }
    const std::string line = text.substr(at, text.find('\n', at) - at);
    return line.size() > key.size() + 2 ? line.substr(key.size() + 3) : std::string();
}

// The text form with one key's value replaced.
std::string WithValue(std::string text, const std::string& key, const std::string& value) {
    const std::size_t at = LineOf(text, key);
    if (at == std::string::npos) {
        return text;
    }
    return text.replace(at, text.find('\n', at) - at, key + " = " + value);
}

TEST(CliOverPty, ReadDumpEditWriteAndDiffShowExactlyTheEditedKeys) {
    Bench bench;
    ASSERT_EQ(bench.Port(), "COM41");

    const CliRun read = bench.Run({"read", "-p", "COM41", "-o", bench.Folder().PathOf("a.zvk")});
    ASSERT_EQ(read.status, 0) << read.err;
    const CliRun dumped = bench.Run({"dump", bench.Folder().PathOf("a.zvk")});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_EQ(bench.Run({"read", "-p", "COM41", "--text"}).out, dumped.out);

    std::string edited = WithValue(dumped.out, "report.interval_hours", "7");
    edited = WithValue(edited, "phone.3.number", "+48123456789");
    edited = WithValue(edited, "phone.3.in_use", "yes");
    const std::string editedPath = bench.WriteText("edited.txt", edited);
    const CliRun written = bench.Run({"write", "-p", "COM41", editedPath});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "COM41: configuration written and verified\n");

    const CliRun diff = bench.Run({"diff", bench.Folder().PathOf("a.zvk"), "-p", "COM41"});
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_EQ(diff.out,
              "-phone.3.in_use = no\n+phone.3.in_use = yes\n"
              "-phone.3.number =\n+phone.3.number = +48123456789\n"
              "-report.interval_hours = " +
                  ValueOf(dumped.out, "report.interval_hours") + "\n+report.interval_hours = 7\n");
    EXPECT_EQ(bench.Run({"diff", editedPath, "-p", "COM41"}).status, 0);
}

TEST(CliOverPty, KeysLeftOutTakeTheUntouchedWindowsValuesOrWithMergeTheDevicesOwn) {
    Bench bench;
    const std::string before = bench.Folder().PathOf("before.zvk");
    ASSERT_EQ(bench.Run({"read", "-p", "COM41", "-o", before}).status, 0);
    const std::string partial = bench.WriteText("partial.txt", "gsm.network = roaming\n");

    ASSERT_EQ(bench.Run({"write", "-p", "COM41", "--merge", partial}).status, 0);
    EXPECT_EQ(bench.Run({"diff", before, "-p", "COM41"}).out,
              "-gsm.network = home_only\n+gsm.network = roaming\n");

    ASSERT_EQ(bench.Run({"write", "-p", "COM41", partial}).status, 0);
    const std::string untouched = bench.WriteText("untouched.txt", "");
    EXPECT_EQ(bench.Run({"diff", untouched, "-p", "COM41"}).out,
              "-gsm.network = home_only\n+gsm.network = roaming\n");
}

// The same table runs against zorvik-cli.exe under Wine, where a port is the system's own: a COM
// name without a device, or a path, is no such port.
#ifdef ZORVIK_UNDER_WINE
constexpr bool kUnderWine = true;
#else
constexpr bool kUnderWine = false;
#endif

struct ExitRow {
    const char* name;
    std::vector<std::string> simArgs;
    std::vector<std::string> cliArgs;  // "PORT" stands for the simulator's port
    int status;
    const char* said;  // part of the message on standard error
};

TEST(CliOverPty, EachFailureEndsWithItsOwnStatusAndSaysWhatHappened) {
    const std::vector<ExitRow> rows = {
        {"usage", {}, {"read", "--output"}, 2, "option --output needs a value"},
        {"no port",
         {},
         {"read", "-p", "COM49"},
         3,
         kUnderWine ? "COM49: no such port" : "COM49: no device is registered"},
        {"not a tty",
         {},
         {"read", "-p", "/dev/null"},
         3,
         kUnderWine ? "\\dev\\null: no such port" : "/dev/null: not a serial port"},
        {"the same port twice",
         {},
         {"provision", "FILE", "--devices", "FILE", "-p", "PORT", "-p", "\\\\.\\com41"},
         2,
         "provision: COM41 and \\\\.\\com41 are the same port; give each port once"},
        {"no banner",
         {"--no-banner"},
         {"read", "-p", "PORT"},
         4,
         "no Ready banner from the device (is it connected and on? a device that has just refused "
         "a password stays silent for 3 s)"},
        {"silent",
         {"--silent-status"},
         {"read", "-p", "PORT"},
         4,
         "device did not answer after the Ready banner"},
        {"wrong password",
         {"--reject-password"},
         {"read", "-p", "PORT"},
         5,
         "wrong access password (the factory password; give yours with ZORVIK_PASSWORD"},
        {"cable pulled",
         {"--unplug-after", "auth"},
         {"read", "-p", "PORT"},
         4,
         "COM41: the device went away (cable or adapter pulled?)"},
        {"bad checksum",
         {"--bad-checksum-on-read"},
         {"read", "-p", "PORT"},
         6,
         "failed its checksum"},
        {"short block",
         {"--short-block-on-read"},
         {"read", "-p", "PORT"},
         6,
         "short configuration block from the device (200 of 257 bytes)"},
        {"refused write",
         {"--write-reply", "E"},
         {"write", "-p", "PORT", "FILE"},
         6,
         "checksum error"},
        {"missing file",
         {},
         {"write", "-p", "PORT", "/nonexistent/a.zvk"},
         7,
         "/nonexistent/a.zvk: No such file or directory"},
    };
    for (const ExitRow& row : rows) {
        SCOPED_TRACE(row.name);
        Bench bench(row.simArgs);
        ASSERT_FALSE(bench.Port().empty());
        const std::string file = bench.WriteText("settings.txt", "report.interval_hours = 5\n");
        std::vector<std::string> args;
        for (const std::string& arg : row.cliArgs) {
            args.push_back(arg == "PORT" ? bench.Port() : arg == "FILE" ? file : arg);
        }
        const CliRun run = bench.Run(args);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_NE(run.err.find(row.said), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// A defect found by running the program as a user would, and what it does now.
struct DefectRow {
    const char* name;
    std::vector<std::string> simArgs;
    // "PORT" stands for the simulator's port, "FILE" for the file below, "DIR" for the test's
    // folder.
    std::vector<std::string> cliArgs;
    const char* fileName;
    std::string file;
    CliCall call;
    int status;
    const char* said;       // part of standard error, or of standard output when it succeeds
    const char* notLogged;  // what the simulator must not have done, or nullptr
};

CliCall Input(std::string text) {
    return WithInput(std::move(text));
}

CliCall InputFrom(std::string path) {
    CliCall call;
    call.inputPath = std::move(path);
    return call;
}

CliCall Signal(int signal, int afterMs) {
    CliCall call;
    call.interruptSignal = signal;
    call.interruptAfterMs = afterMs;
    return call;
}

TEST(CliOverPty, WhatWasFoundWrongIsRefusedOrSaidBeforeTheDeviceIsHarmed) {
    CliCall closed;
    closed.inputClosed = true;
    const std::string form = "report.interval_hours = 5\n";
    const std::vector<DefectRow> rows = {
        {"text under a .zvk name",
         {},
         {"write", "-p", "PORT", "FILE"},
         "site.zvk",
         form + std::string(300, '#'),
         {},
         7,
         "holds a text or JSON form",
         "write image"},
        {"text asked for a .zvk name",
         {},
         {"read", "-p", "PORT", "--text", "-o", "DIR/a.zvk"},
         "",
         "",
         {},
         2,
         "a .zvk file holds a 256-byte image",
         "read image"},
        {"a number without its telephone, --strict",
         {},
         {"write", "-p", "PORT", "FILE", "--strict"},
         "f.txt",
         "phone.3.in_use = no\nphone.3.number = +48600100200\n",
         {},
         7,
         "will not hold phone.3.number = +48600100200",
         "write image"},
        {"Semalto timings for a Wardeno, a warning",
         {},
         {"write", "-p", "PORT", "FILE"},
         "f.txt",
         "device.type = wardeno\ntiming.red.seconds = 30\n",
         {},
         0,
         "warning: the device will not hold timing.red.seconds = 30",
         nullptr},
        {"an empty firmware file",
         {},
         {"flash", "-p", "PORT", "FILE"},
         "empty.bin",
         "",
         {},
         7,
         "empty: programming it would leave the device without firmware",
         "firmware"},
        {"a byte-order mark and a comment after a value",
         {},
         {"write", "-p", "PORT", "FILE"},
         "f.txt",
         "\xEF\xBB\xBFreport.interval_hours = 7   # weekly\n",
         {},
         0,
         "written and verified",
         nullptr},
        {"a telephone echoed with its +",
         {},
         {"write", "-p", "PORT", "FILE"},
         "f.txt",
         "phone.1.number = +48 600 100 200\n",
         {},
         7,
         "got \"+48 600 100 200\"",
         "write image"},
        {"JSON true for a number",
         {},
         {"write", "-p", "PORT", "FILE"},
         "f.json",
         "{\"report.interval_hours\": true}",
         {},
         7,
         "expected a number, got true",
         "write image"},
        {"a folder as the password file",
         {},
         {"read", "-p", "PORT", "--password-file", "DIR"},
         "",
         "",
         {},
         7,
         "Is a directory",
         "read image"},
        {"/dev/null dumped", {}, {"dump", "/dev/null"}, "", "", {}, 0, "gsm.network =", nullptr},
        {"help for a command",
         {},
         {"help", "read"},
         "",
         "",
         {},
         0,
         "Usage: zorvik-cli read",
         nullptr},
        {"two ports",
         {},
         {"read", "-p", "PORT", "-p", "COM42"},
         "",
         "",
         {},
         2,
         "option --port given twice",
         "read image"},
        {"a COM name in lower case",
         {},
         {"read", "-p", "com41"},
         "",
         "",
         {},
         0,
         "gsm.network =",
         nullptr},
        {"a new password beyond ASCII",
         {},
         {"passwd", "-p", "PORT", "--new-password-stdin"},
         "",
         "",
         Input("\xC4\x85"
               "bcd\n"),
         2,
         "ASCII",
         "password"},
        {"an output folder that is missing",
         {},
         {"read", "-p", "PORT", "-o", "DIR/no/a.zvk"},
         "",
         "",
         {},
         7,
         "No such file or directory",
         "read image"},
        {"standard input closed",
         {},
         {"write", "-p", "PORT", "-"},
         "",
         "",
         closed,
         7,
         "standard input: Bad file descriptor",
         "write image"},
        {"a folder on standard input",
         {},
         {"write", "-p", "PORT", "-"},
         "",
         "",
         InputFrom("/tmp"),
         7,
         "standard input: Is a directory",
         "write image"},
        {"a form with no setting",
         {},
         {"write", "-p", "PORT", "FILE"},
         "f.txt",
         "# none\n\n",
         {},
         7,
         "the form is empty",
         "write image"},
        {"an empty anti-theft form",
         {},
         {"security", "-p", "PORT", "FILE", "--passwords-stdin"},
         "g.txt",
         "# nothing yet\n",
         Input("0123456789\n"),
         7,
         "the form is empty",
         "security record"},
        {"password file and form both on standard input",
         {},
         {"write", "-p", "PORT", "-", "--password-file", "/dev/stdin"},
         "",
         "",
         Input("9466\n" + form),
         2,
         "standard input can give either",
         "write image"},
        {"an anti-theft key given twice",
         {},
         {"security", "-p", "PORT", "FILE", "--passwords-stdin"},
         "g.txt",
         "protection = on\ntelephone = +48600100200\nprotection = off\n",
         Input("0123456789\n"),
         7,
         "g.txt:3: protection: given twice",
         "security record"},
        {"endless standard input",
         {},
         {"write", "-p", "PORT", "-"},
         "",
         "",
         InputFrom("/dev/zero"),
         7,
         "too large",
         "write image"},
        {"a read-back cut short",
         {"--unplug-after", "auth#2"},
         {"write", "-p", "PORT", "FILE"},
         "f.txt",
         form,
         {},
         4,
         "the configuration was written but could not be verified",
         nullptr},
        {"a cable pulled before the written block's answer",
         {"--unplug-after", "status"},
         {"write", "-p", "PORT", "FILE"},
         "f.txt",
         form,
         {},
         4,
         "the device went away (cable or adapter pulled?); the configuration may be stored",
         nullptr},
        {"a cable pulled while programming",
         {"--unplug-after", "page:1"},
         {"flash", "-p", "PORT", "FILE", "--no-verify"},
         "fw.bin",
         std::string(3 * 257, 'x'),
         {},
         4,
         "the device's firmware is incomplete: flash it again",
         nullptr},
        {"SIGTERM while programming",
         {"--firmware-erase-ms", "20000"},
         {"flash", "-p", "PORT", "FILE"},
         "fw.bin",
         std::string(257, 'x'),
         Signal(SIGTERM, 3000),
         143,
         "terminated during programming",
         nullptr},
        {"Ctrl-C while the device answers a written image",
         {"--write-reply", "none"},
         {"write", "-p", "PORT", "FILE"},
         "f.txt",
         form,
         Signal(SIGINT, 1500),
         130,
         "the configuration may be stored",
         nullptr},
    };
    for (const DefectRow& row : rows) {
        SCOPED_TRACE(row.name);
        Bench bench(row.simArgs);
        ASSERT_FALSE(bench.Port().empty());
        const std::string file =
            row.fileName[0] == '\0' ? std::string() : bench.WriteText(row.fileName, row.file);
        std::vector<std::string> args;
        for (const std::string& arg : row.cliArgs) {
            std::string given = arg == "PORT" ? bench.Port() : arg == "FILE" ? file : arg;
            if (given.starts_with("DIR")) {
                given = bench.Folder().Root() + given.substr(3);
            }
            args.push_back(given);
        }
        const CliRun run = bench.Run(args, row.call);
        EXPECT_EQ(run.status, row.status) << run.err;
        const std::string& said = row.status == 0 ? run.out + run.err : run.err;
        EXPECT_NE(said.find(row.said), std::string::npos) << said;
        if (row.notLogged != nullptr) {
            const auto log = TempFolder::Read(bench.Sim().LogPath());
            EXPECT_EQ(std::string(log.begin(), log.end()).find(row.notLogged), std::string::npos)
                << std::string(log.begin(), log.end());
        }
    }
}

// The simulator logs an exchange once it has ended, which may be a moment after the program.
std::string LogOnceItHolds(Bench& bench, const std::string& line) {
    std::string log;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    do {
        const auto bytes = TempFolder::Read(bench.Sim().LogPath());
        log.assign(bytes.begin(), bytes.end());
        if (log.find(line) != std::string::npos) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return log;
}

// The port detect finds the simulator on. Wine's port probe knows only COM1 to COM9 (it gives no
// settings for COM10 and up), so under Wine the simulator's pty is also the prefix's COM5 while
// this lives.
class DetectedPort {
public:
    explicit DetectedPort(Bench& bench) : name_(bench.Port()) {
        if (kUnderWine) {
            link_ = std::string(std::getenv("WINEPREFIX")) + "/dosdevices/com5";
            std::filesystem::remove(link_);
            EXPECT_EQ(symlink(bench.Sim().PtyPath().c_str(), link_.c_str()), 0) << link_;
            name_ = "COM5";
        }
    }
    ~DetectedPort() {
        if (!link_.empty()) {
            std::filesystem::remove(link_);
        }
    }
    DetectedPort(const DetectedPort&) = delete;
    DetectedPort& operator=(const DetectedPort&) = delete;

    [[nodiscard]] const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::string link_;
};

// Other ports of the machine may come before the simulator's, each with its own state.
TEST(CliOverPty, DetectNamesTheAnsweringPortAndInJsonEachPortsDeviceAndState) {
    const struct {
        const char* name;
        std::vector<std::string> simArgs;
        int status;
        const char* state;
    } rows[] = {{"answering", {}, 0, "ready"}, {"silent", {"--no-banner"}, 4, "silent"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Bench bench(row.simArgs);
        ASSERT_EQ(bench.Port(), "COM41");
        const DetectedPort port(bench);
        const CliRun plain = bench.Run({"detect"});
        EXPECT_EQ(plain.status, row.status) << plain.err;
        EXPECT_EQ(plain.out, row.status == 0 ? port.Name() + "\n" : "");
        if (row.status != 0) {
            EXPECT_NE(plain.err.find("no device answered on any port (COM1 to COM50)"),
                      std::string::npos)
                << plain.err;
        }
        const CliRun json = bench.Run({"detect", "--json"});
        EXPECT_EQ(json.status, row.status) << json.err;
        EXPECT_TRUE(json.out.starts_with("[\n") && json.out.ends_with("]\n")) << json.out;
        // Under Wine the device is the system's own port, not the simulator's pty.
        const std::string device = kUnderWine ? R"(\\\\.\\)" + port.Name() : bench.Sim().PtyPath();
        EXPECT_NE(json.out.find("    {\n        \"name\": \"" + port.Name() +
                                "\",\n        \"device\": \"" + device +
                                "\",\n        \"state\": \"" + row.state + "\"\n    }"),
                  std::string::npos)
            << json.out;
    }
}

TEST(CliOverPty, DryRunPrintsTheChangesAsDiffDoesAndSendsNothing) {
    Bench bench;
    const std::string before = bench.Folder().PathOf("before.zvk");
    ASSERT_EQ(bench.Run({"read", "-p", "COM41", "-o", before}).status, 0);
    const std::string form = bench.WriteText("f.txt", "gsm.network = roaming\n");

    const CliRun run = bench.Run({"write", "-p", "COM41", form, "--merge", "--dry-run"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "-gsm.network = home_only\n+gsm.network = roaming\n");
    EXPECT_EQ(bench.Run({"diff", before, "-p", "COM41"}).status, 0);
    const std::string log = LogOnceItHolds(bench, "read image");
    EXPECT_EQ(log.find("write image"), std::string::npos) << log;
}

TEST(CliOverPty, BackupHoldsTheImageTheDeviceHadBeforeTheWrite) {
    Bench bench;
    const std::string before = bench.Folder().PathOf("before.zvk");
    ASSERT_EQ(bench.Run({"read", "-p", "COM41", "-o", before}).status, 0);
    const std::string form = bench.WriteText("f.txt", "report.interval_hours = 3\n");
    const std::string backup = bench.Folder().PathOf("backup.zvk");

    const CliRun run = bench.Run({"write", "-p", "COM41", form, "--backup", backup});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(TempFolder::Read(backup), TempFolder::Read(before));
    EXPECT_EQ(bench.Run({"diff", form, "-p", "COM41"}).status, 0);
}

TEST(CliOverPty, PasswdChangesThePasswordAndOnlyTheNewOneReadsAfterwards) {
    Bench bench;
    const CliRun changed =
        bench.Run({"passwd", "-p", "COM41", "--new-password-stdin"}, WithInput("4321\n"));
    ASSERT_EQ(changed.status, 0) << changed.err;

    EXPECT_EQ(bench.Run({"read", "-p", "COM41"}).status, 5);
    CliCall fromEnvironment;
    fromEnvironment.env.emplace("ZORVIK_PASSWORD", "4321");
    EXPECT_EQ(bench.Run({"read", "-p", "COM41"}, fromEnvironment).status, 0);
    const std::string file = bench.WriteText("password", "4321\n");
    EXPECT_EQ(bench.Run({"read", "-p", "COM41", "--password-file", file}).status, 0);
}

TEST(CliOverPty, PasswdAsksTwiceOnTheTerminalWithoutEchoAndRefusesTwoDifferentAnswers) {
    Bench bench;
    CliCall call;
    call.args = {"passwd", "-p", "COM41"};
    call.env.emplace("XDG_RUNTIME_DIR", bench.Folder().PathOf("runtime"));
    call.unset.push_back("ZORVIK_PASSWORD");

    const CliRun differ = RunCliOnTerminal(ZORVIK_CLI_PROGRAM, call, {"1111", "2222"});
    EXPECT_EQ(differ.status, 2) << differ.out;
    EXPECT_NE(differ.out.find("the passwords typed do not match"), std::string::npos);

    const CliRun changed = RunCliOnTerminal(ZORVIK_CLI_PROGRAM, call, {"7777", "7777"});
    EXPECT_EQ(changed.status, 0) << changed.out;
    EXPECT_NE(changed.out.find("New access password: "), std::string::npos) << changed.out;
    EXPECT_NE(changed.out.find("Retype new access password: "), std::string::npos);
    EXPECT_EQ(changed.out.find("7777"), std::string::npos) << "echoed: " << changed.out;
    CliCall withNew;
    withNew.env.emplace("ZORVIK_PASSWORD", "7777");
    EXPECT_EQ(bench.Run({"read", "-p", "COM41"}, withNew).status, 0);
}

TEST(CliOverPty, PasswdWithoutTerminalOrStandardInputIsAUsageError) {
    Bench bench;
    const CliRun run = bench.Run({"passwd", "-p", "COM41"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--new-password-stdin"), std::string::npos) << run.err;
}

// What the simulator stored is compared here; the read-back is left out because it is timed
// (each page must arrive within the host's 52 ms), which a loaded test machine can spoil.
TEST(CliOverPty, FlashOfAFullFileStoresWhatWasSentAndLogsPercentages) {
    TempFolder folder;
    const std::string stored = folder.PathOf("stored.bin");
    Bench sim({"--firmware-out", stored});
    TempFolder::Bytes firmware(61680);
    for (std::size_t i = 0; i < firmware.size(); ++i) {
        firmware[i] = static_cast<std::uint8_t>((i * 7 + 13 + i / 257) & 0xFF);
    }
    const std::string path = sim.Folder().Write("firmware.bin", firmware);

    const CliRun run = sim.Run({"flash", "-p", sim.Port(), path, "--no-verify"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, sim.Port() + ": firmware programmed (not verified); device reset\n");
    EXPECT_NE(run.err.find("programming: 0%\nprogramming: 10%\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("programming: 100%\n"), std::string::npos) << run.err;
    for (int i = 0; i < 100 && TempFolder::Read(stored).size() < firmware.size(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(TempFolder::Read(stored), firmware);
}

TEST(CliOverPty, CtrlCWhileWaitingForTheBannerLeavesTheFirmwareAlone) {
    TempFolder folder;
    const std::string stored = folder.PathOf("stored.bin");
    Bench bench({"--no-banner", "--firmware-out", stored});
    const std::string path = folder.Write("firmware.bin", TempFolder::Bytes(257, 0x5A));

    CliCall call;
    call.interruptAfterMs = 600;
    const CliRun run = bench.Run({"flash", "-p", bench.Port(), path}, call);
    EXPECT_EQ(run.status, 130);
    EXPECT_NE(run.err.find("interrupted; the device was not changed"), std::string::npos)
        << run.err;
    EXPECT_TRUE(TempFolder::Read(stored).empty());
    // The port was let go: the next command opens it at once.
    EXPECT_EQ(bench.Run({"read", "-p", bench.Port()}).status, 4);
}

TEST(CliOverPty, SecuritySendsTheFormWithPasswordsFromStandardInput) {
    Bench bench;
    const std::string form = bench.WriteText(
        "security.txt", "protection = on\ntelephone = +48600100200\nchange-password = yes\n");
    const CliRun run = bench.Run({"security", "-p", "COM41", form, "--passwords-stdin"},
                                 WithInput("0123456789\nabcdefghij\n"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "COM41: anti-theft settings sent\n");
    // The simulator logs the record once it has the closing byte, which may be a moment after the
    // program has ended.
    std::string log;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    do {
        const auto bytes = TempFolder::Read(bench.Sim().LogPath());
        log.assign(bytes.begin(), bytes.end());
        if (log.find("security record: ok (flags 0x81)") != std::string::npos) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    EXPECT_NE(log.find("security record: ok (flags 0x81)"), std::string::npos) << log;
}

TEST(CliOverPty, OutputToStandardOutputAndNotThroughAnotherUsersLink) {
    Bench bench;
    const CliRun text = bench.Run({"read", "-p", "COM41", "--text"});
    ASSERT_EQ(text.status, 0) << text.err;
    const CliRun image = bench.Run({"read", "-p", "COM41", "-o", "-"});
    ASSERT_EQ(image.status, 0) << image.err;
    const std::string saved =
        bench.Folder().Write("saved.zvk", TempFolder::Bytes(image.out.begin(), image.out.end()));
    EXPECT_EQ(bench.Run({"dump", saved}).out, text.out);
    const CliRun through = bench.Run({"read", "-p", "COM41", "--text", "-o", "/dev/stdout"});
    EXPECT_EQ(through.status, 0) << through.err;
    EXPECT_EQ(through.out, text.out);
    EXPECT_FALSE(std::filesystem::exists("-"));

    if (::geteuid() != 0) {
        return;  // only root may give a link to another user
    }
    const std::string shared = bench.Folder().PathOf("shared");
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string link = shared + "/site.zvk";
    std::filesystem::create_symlink(saved, link);
    ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
    const CliRun refused = bench.Run({"read", "-p", "COM41", "-o", link});
    EXPECT_EQ(refused.status, 7);
    EXPECT_EQ(refused.err, "zorvik-cli: " + link + ": Permission denied\n");
    EXPECT_EQ(TempFolder::Read(saved), TempFolder::Bytes(image.out.begin(), image.out.end()));
}

}  // namespace
}  // namespace zorvik::testing
