// zorvik-cli provision, convert, the history and the doctor end to end: several zorvik-sim
// processes on ptys in one port folder, worked at once on real time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/cli/CliProcess.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

constexpr auto kLoadedMachineWait = std::chrono::seconds(90);  // generous on a busy machine

class Provisioning : public ::testing::Test {
protected:
    // A simulator registered in the test's port folder, under the first free name from COM41
    // unless the arguments name one.
    SimProcess& AddSim(std::vector<std::string> args = {}) {
        args.insert(args.begin(),
                    {"--ports-dir", folder_.PathOf("runtime/zorvik-gsm/ports"), "--no-pacing"});
        sims_.push_back(std::make_unique<SimProcess>(ZORVIK_SIM_PROGRAM, args));
        EXPECT_FALSE(sims_.back()->Name().empty()) << "the simulator did not start";
        return *sims_.back();
    }

    CliRun Run(std::vector<std::string> args, std::map<std::string, std::string> env = {}) const {
        CliCall call;
        call.args = std::move(args);
        call.env = std::move(env);
        call.env.emplace("XDG_RUNTIME_DIR", folder_.PathOf("runtime"));
        call.unset.push_back("ZORVIK_PASSWORD");
        return RunCli(ZORVIK_CLI_PROGRAM, call);
    }

    std::string File(const std::string& name, const std::string& text) const {
        return folder_.Write(name, TempFolder::Bytes(text.begin(), text.end()));
    }

    [[nodiscard]] std::string Text(const std::string& name) const {
        const TempFolder::Bytes bytes = TempFolder::Read(folder_.PathOf(name));
        return {bytes.begin(), bytes.end()};
    }

    // The bytes the device on `port` holds, as `read -o` saves them.
    TempFolder::Bytes Held(const std::string& port) const {
        const std::string path = folder_.PathOf(port + ".zvk");
        const CliRun run = Run({"read", "-p", port, "-o", path});
        EXPECT_EQ(run.status, 0) << run.err;
        return TempFolder::Read(path);
    }

    // The report's lines after its header, each as its fields (no field here holds a comma).
    [[nodiscard]] std::vector<std::vector<std::string>> ReportLines() const {
        std::vector<std::vector<std::string>> lines;
        const std::string report = Text("report.csv");
        if (report.empty()) {
            return lines;  // not started yet
        }
        std::istringstream in(report);
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line, "time,row,port,by_id,result,exit_status,message,sha256");
        while (std::getline(in, line)) {
            std::vector<std::string> fields;
            std::istringstream cells(line);
            for (std::string cell; std::getline(cells, cell, ',');) {
                fields.push_back(cell);
            }
            if (line.ends_with(',')) {
                fields.emplace_back();
            }
            lines.push_back(fields);
        }
        return lines;
    }

    TempFolder folder_;
    std::vector<std::unique_ptr<SimProcess>> sims_;
};

enum Column { kTime, kRow, kPort, kById, kResult, kExitStatus, kMessage, kSha256 };

std::string Sha256Sum(const std::string& path) {
    std::string hex;
    if (FILE* pipe = ::popen(("sha256sum " + path).c_str(), "r")) {
        char text[65] = {};
        if (std::fread(text, 1, 64, pipe) == 64) {
            hex = text;
        }
        ::pclose(pipe);
    }
    return hex;
}

TEST_F(Provisioning, ThreePortsTakeThreeRowsAndEachDeviceHoldsItsOwn) {
    for (int i = 0; i < 3; ++i) {
        AddSim();
    }
    const std::string table = File("table.csv",
                                   "id,phone.1.in_use,phone.1.number\n"
                                   "north,yes,+48600000001\n"
                                   "south,yes,+48600000002\n"
                                   "east,yes,+48600000003\n");
    const CliRun run =
        Run({"provision", File("site.txt", "report.enabled = yes\n"), "--devices", table, "-p",
             "COM41", "-p", "COM42", "-p", "COM43", "--report", folder_.PathOf("report.csv")});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = ReportLines();
    ASSERT_EQ(lines.size(), 3u) << Text("report.csv");
    std::vector<std::string> ports;
    for (const auto& line : lines) {
        ASSERT_EQ(line.size(), 8u);
        EXPECT_EQ(line[kResult], "ok");
        EXPECT_EQ(line[kExitStatus], "0");
        const std::string digit = line[kRow] == "north" ? "1" : line[kRow] == "south" ? "2" : "3";
        const TempFolder::Bytes held = Held(line[kPort]);
        ASSERT_EQ(held.size(), 256u);
        EXPECT_EQ(held[15], 0x8B);
        EXPECT_EQ(std::string(held.begin() + 16, held.begin() + 27), "4860000000" + digit);
        EXPECT_EQ(held[115], 0x80);
        EXPECT_EQ(line[kSha256], Sha256Sum(folder_.PathOf(line[kPort] + ".zvk")));
        ports.push_back(line[kPort]);
    }
    std::sort(ports.begin(), ports.end());
    EXPECT_EQ(ports, (std::vector<std::string>{"COM41", "COM42", "COM43"}));
}

TEST_F(Provisioning, QuietSaysOnlyFailuresAndTheTraceHasOneSectionPerDevice) {
    AddSim();
    AddSim({"--write-reply", "E"});
    const std::string trace = folder_.PathOf("trace.txt");
    const CliRun run =
        Run({"-q", "provision", File("site.txt", ""), "--devices", File("table.csv", "id\na\nb\n"),
             "-p", "COM41", "-p", "COM42", "--trace", trace});
    EXPECT_EQ(run.status, 8) << run.err;
    EXPECT_EQ(run.err.find("writing"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("COM42: row "), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("COM41"), std::string::npos) << run.err;

    const std::string text = Text("trace.txt");
    std::vector<std::string> titles;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("# zorvik-cli ")) {
            titles.push_back(line);
        }
    }
    ASSERT_EQ(titles.size(), 2u) << text;
    std::sort(titles.begin(), titles.end(), [](const std::string& a, const std::string& b) {
        return a.substr(a.size() - 7) < b.substr(b.size() - 7);
    });
    EXPECT_TRUE(titles[0].ends_with("(COM41)")) << titles[0];
    EXPECT_TRUE(titles[1].ends_with("(COM42)")) << titles[1];
    // Each section whole, ended by its device's outcome as a command's is by its status.
    const auto com42 = text.find(titles[1]);
    const auto com42End = text.find("# zorvik-cli ", com42 + 1);
    const std::string section =
        text.substr(com42, com42End == std::string::npos ? std::string::npos : com42End - com42);
    EXPECT_NE(section.find("! exit 6: "), std::string::npos) << section;
    EXPECT_EQ(section.find("= exit 0"), std::string::npos) << section;
    EXPECT_NE(text.find("= exit 0"), std::string::npos) << text;
}

TEST_F(Provisioning, ADeviceThatRefusesTheWriteFailsOnlyItsOwnRow) {
    AddSim();
    AddSim({"--write-reply", "E"});
    AddSim();
    const CliRun run = Run({"provision", File("site.txt", ""), "--devices",
                            File("table.csv", "id\na\nb\nc\n"), "-p", "COM41", "-p", "COM42", "-p",
                            "COM43", "-p", "COM44", "--report", folder_.PathOf("report.csv")});
    EXPECT_EQ(run.status, 8) << run.err;
    int ok = 0;
    for (const auto& line : ReportLines()) {
        if (line[kPort] == "COM42") {
            EXPECT_EQ(line[kResult], "failed");
            EXPECT_EQ(line[kExitStatus], "6");  // as `write` ends on a checksum error
        } else if (line[kPort] == "COM44") {
            EXPECT_EQ(line[kRow], "");  // no device: no row taken
            EXPECT_EQ(line[kExitStatus], "4");
        } else {
            ok += line[kResult] == "ok" ? 1 : 0;
        }
    }
    EXPECT_EQ(ok, 2) << Text("report.csv");
}

TEST_F(Provisioning, AStationGivesAFailedRowAndThenTheNextToTheDevicesThatReplaceTheFirst) {
    AddSim({"--write-reply", "E"});
    const std::string table = File("table.csv", "id,report.interval_hours\nfirst,24\nsecond,36\n");
    auto station = std::async(std::launch::async, [&] {
        return Run({"provision", File("site.txt", ""), "--devices", table, "-p", "COM41",
                    "--report", folder_.PathOf("report.csv"), "--watch"});
    });
    // Each device is replaced once it has its report line.
    for (std::size_t attempts = 1; attempts <= 2; ++attempts) {
        const auto deadline = std::chrono::steady_clock::now() + kLoadedMachineWait;
        while (ReportLines().size() < attempts && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_EQ(ReportLines().size(), attempts);
        sims_.back()->Stop();
        AddSim({"--port", "COM41"});
    }
    ASSERT_EQ(station.wait_for(kLoadedMachineWait), std::future_status::ready);
    const CliRun run = station.get();
    EXPECT_EQ(run.status, 8) << run.err;  // the first attempt failed
    const auto lines = ReportLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0][kRow] + " " + lines[0][kResult], "first failed");
    EXPECT_EQ(lines[1][kRow] + " " + lines[1][kResult], "first ok");
    EXPECT_EQ(lines[2][kRow] + " " + lines[2][kResult], "second ok");
    EXPECT_EQ(Held("COM41").at(116), 36);
}

TEST_F(Provisioning, ResumeSkipsTheRowsThatAlreadyHaveAnOkLine) {
    AddSim();
    File("report.csv",
         "time,row,port,by_id,result,exit_status,message,sha256\n"
         "2026-12-09T07:00:00Z,done,COM41,,ok,0,written,\n"
         "2026-12-09T07:00:05Z,again,COM41,,failed,4,no device,\n");
    const CliRun run = Run({"provision", File("site.txt", ""), "--devices",
                            File("table.csv", "id,report.interval_hours\ndone,24\nagain,36\n"),
                            "-p", "COM41", "--report", folder_.PathOf("report.csv"), "--resume"});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = ReportLines();
    ASSERT_EQ(lines.size(), 3u);  // appended, the earlier lines kept
    EXPECT_EQ(lines[2][kRow] + " " + lines[2][kResult], "again ok");
    EXPECT_EQ(Held("COM41").at(116), 36);
}

// --resume and the table's own columns against devices in known states: a finished device is
// never given another row, a half-done one is finished with the password it answers to.
TEST_F(Provisioning, ResumeNeverRewritesAFinishedDeviceAndPortsPinTheirRows) {
    const std::string site = File("site.txt", "report.enabled = yes\n");
    // Row A's image as the device holds it once A is done.
    ASSERT_EQ(Run({"convert", File("a.txt", "report.enabled = yes\nreport.interval_hours = 24\n"),
                   folder_.PathOf("a.zvk")})
                  .status,
              0);
    const std::string aImage = folder_.PathOf("a.zvk");
    const std::string aHash = Sha256Sum(aImage);
    const std::string header = "time,row,port,by_id,result,exit_status,message,sha256\n";
    struct Case {
        const char* name;
        std::vector<std::vector<std::string>> sims;  // each device's simulator options
        std::string table;
        std::string report;  // before the run
        int status;
        std::string says;            // on standard error
        std::string lastLine;        // "row result" of the report's last line, "" for none
        std::vector<int> intervals;  // report.interval_hours each device holds afterwards
    };
    const std::vector<Case> cases = {
        {"a finished device is skipped and its row stays done",
         {{"--image", aImage}},
         "id,report.interval_hours\nA,24\nB,36\n",
         header + "t,A,COM40,,ok,0,written," + aHash + "\n",
         0,
         "holds row A, which is done: not given another row",
         "",
         {24}},
        {"a device answering to a finished row's new password is skipped",
         {{"--image", aImage, "--password", "4711"}},
         "id,report.interval_hours,new_password\nA,24,4711\nB,36,4712\n",
         header + "t,A,COM40,,ok,0,written," + aHash + "\n",
         0,
         "holds row A, which is done",
         "",
         {24}},
        {"the same image on a device still at the old password is not the finished one",
         {{"--image", aImage}},
         "id,report.interval_hours,new_password\nA,24,4711\nB,24,4712\n",
         header + "t,A,COM40,,ok,0,written," + aHash + "\n",
         0,
         "rows: 2 done, 0 failed, 0 not started",
         "B ok",
         {}},  // the device now answers to B's new password only
        {"a device that may hold its new password answers to it and is finished",
         {{"--image", aImage, "--password", "4711"}},
         "id,report.interval_hours,new_password\nA,24,4711\n",
         header +
             "t,A,COM40,,failed,4,no answer; the device may hold the new password: try it "
             "first," +
             aHash + "\n",
         0,
         "row A: the device answered to the new password",
         "A ok",
         {24}},
        {"a port column ties each row to its port",
         {{}, {}},
         "id,port,report.interval_hours\nfor42,com42,42\nfor41,COM41,41\n",
         "",
         0,
         "rows: 2 done",
         "",
         {41, 42}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (auto& sim : sims_) {
            sim->Stop();
        }
        sims_.clear();
        std::vector<std::string> args = {"provision", site,
                                         "--devices", File("table.csv", c.table),
                                         "--report",  folder_.PathOf("report.csv")};
        for (const auto& simArgs : c.sims) {
            const std::string port = "COM" + std::to_string(41 + (&simArgs - c.sims.data()));
            std::vector<std::string> named = {"--port", port};
            named.insert(named.end(), simArgs.begin(), simArgs.end());
            AddSim(named);
            args.insert(args.end(), {"-p", port});
        }
        if (!c.report.empty()) {
            args.push_back("--resume");
        }
        std::filesystem::remove(folder_.PathOf("report.csv"));
        if (!c.report.empty()) {
            File("report.csv", c.report);
        }
        const CliRun run = Run(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        const auto lines = ReportLines();
        if (!c.lastLine.empty()) {
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.back()[kRow] + " " + lines.back()[kResult], c.lastLine);
        }
        for (std::size_t i = 0; i < c.intervals.size(); ++i) {
            const std::string port = "COM" + std::to_string(41 + i);
            if (c.sims[i].size() > 2 && c.sims[i][2] == "--password") {
                continue;  // the device answers to another password than the one read with
            }
            EXPECT_EQ(Held(port).at(116), c.intervals[i]) << port;
        }
    }
}

TEST_F(Provisioning, ConvertWritesTheBytesThatWriteSends) {
    AddSim();
    const std::string form = File("form.txt",
                                  "device.type = semalto\n"
                                  "timing.red.minutes = 2\n"
                                  "sms_centre.in_use = no\n"
                                  "phone.2.in_use = yes\n"
                                  "phone.2.number = +48_601\n");
    const CliRun write = Run({"write", "-p", "COM41", form});
    ASSERT_EQ(write.status, 0) << write.err;
    // Twice: a file that exists is replaced, not taken for the input (on Windows too, where
    // files have no inode numbers).
    for (int i = 0; i < 2; ++i) {
        const CliRun convert = Run({"convert", form, folder_.PathOf("form.zvk")});
        ASSERT_EQ(convert.status, 0) << convert.err;
    }
    EXPECT_EQ(TempFolder::Read(folder_.PathOf("form.zvk")), Held("COM41"));
    EXPECT_EQ(Run({"convert", form, form}).status, 7);
}

// Four devices at once, with a report and the history: each row's line and record name the port
// whose device holds that row's image.
TEST_F(Provisioning, FourParallelRowsEachKeepTheirOwnReportLineAndRecordAndARecordRestores) {
    for (int i = 0; i < 4; ++i) {
        AddSim();
    }
    ForgetWineHistory();
    const std::map<std::string, std::string> history = {
        {"ZORVIK_HISTORY", "Yes"}, {"XDG_STATE_HOME", folder_.PathOf("state")}};
    const CliRun run =
        Run({"provision", File("site.txt", ""), "--devices",
             File("table.csv", "id,report.interval_hours\na,11\nb,12\nc,13\nd,14\n"), "-p", "COM41",
             "-p", "COM42", "-p", "COM43", "-p", "COM44", "--report", folder_.PathOf("report.csv")},
            history);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = ReportLines();
    ASSERT_EQ(lines.size(), 4u) << Text("report.csv");
    std::map<std::string, std::vector<std::string>> lineOf;  // by row
    for (const auto& line : lines) {
        EXPECT_EQ(line[kResult] + " " + line[kExitStatus], "ok 0") << line[kRow];
        lineOf[line[kRow]] = line;
    }
    const CliRun listed = Run({"history", "--json"}, history);
    ASSERT_EQ(listed.status, 0) << listed.err;
    const nlohmann::json records = nlohmann::json::parse(listed.out);
    ASSERT_EQ(records.size(), 4u) << listed.out;
    for (const auto& record : records) {
        const std::string site = record["site"];
        const std::string imagePath = HostPath(record["image"]);
        const auto image = TempFolder::Read(imagePath);
        ASSERT_EQ(image.size(), 256u) << imagePath;
        EXPECT_EQ(image[116], 11 + (site[0] - 'a')) << "row " << site << " kept another's image";
        EXPECT_EQ(image, Held(record["port"])) << site;
        EXPECT_EQ(record["sha256"], Sha256Sum(imagePath));
        ASSERT_TRUE(lineOf.contains(site)) << site;
        EXPECT_EQ(record["port"], lineOf[site][kPort]) << site;
        EXPECT_EQ(record["sha256"], lineOf[site][kSha256]) << site;
    }

    // A write keeps the image before it and the image written; the first brings COM41 back.
    const TempFolder::Bytes before = Held("COM41");
    ASSERT_EQ(
        Run({"write", "-p", "COM41", File("form.txt", "report.interval_hours = 40\n")}, history)
            .status,
        0);
    const nlohmann::json after = nlohmann::json::parse(Run({"history", "--json"}, history).out);
    ASSERT_EQ(after.size(), 6u);
    EXPECT_EQ(after[0]["stage"].get<std::string>() + " " + after[1]["stage"].get<std::string>(),
              "written before");
    const std::string id = after[1]["id"];
    EXPECT_EQ(Run({"restore", id.substr(0, 6), "-p", "COM41"}, history).status, 0);
    EXPECT_EQ(Held("COM41"), before);
    EXPECT_EQ(Run({"restore", "", "-p", "COM41"}, history).status, 2) << "no prefix, no record";
    // A restore keeps what it writes over, as a write does, so a wrong record can be undone.
    const nlohmann::json restored = nlohmann::json::parse(Run({"history", "--json"}, history).out);
    ASSERT_EQ(restored.size(), 8u);
    EXPECT_EQ(
        restored[0]["stage"].get<std::string>() + " " + restored[1]["stage"].get<std::string>(),
        "written before");
    EXPECT_EQ(restored[1]["sha256"], after[0]["sha256"]);

    // An image written whose read-back breaks off is kept as written but not verified; a history
    // turned off in any case keeps nothing.
    AddSim({"--unplug-after", "auth#3"});
    EXPECT_EQ(
        Run({"write", "-p", "COM45", File("form.txt", "report.interval_hours = 41\n")}, history)
            .status,
        4);
    std::map<std::string, std::string> off = history;
    off["ZORVIK_HISTORY"] = "FALSE";
    EXPECT_EQ(Run({"read", "-p", "COM41"}, off).status, 0);
    const nlohmann::json last = nlohmann::json::parse(Run({"history", "--json"}, history).out);
    ASSERT_EQ(last.size(), 10u);
    EXPECT_EQ(last[0]["stage"], "written");
    EXPECT_TRUE(last[0]["outcome"].get<std::string>().starts_with("written, not verified (COM45: "))
        << last[0]["outcome"];
    EXPECT_EQ(last[0]["sha256"], Sha256Sum(HostPath(last[0]["image"])));
}

TEST_F(Provisioning, DoctorOpensARealPtyAndTellsAnAnsweringDeviceFromASilentOne) {
    AddSim();
    AddSim({"--no-banner"});
    const CliRun answered = Run({"doctor", "-p", "COM41"});
    EXPECT_EQ(answered.status, 0) << answered.out << answered.err;
    EXPECT_NE(answered.out.find("open: ok"), std::string::npos) << answered.out;
    EXPECT_EQ(answered.out.find("problem"), std::string::npos) << "zorvik-sim is no holder";
    const CliRun silent = Run({"doctor", "-p", "COM42"});
    EXPECT_EQ(silent.status, 4) << silent.out << silent.err;
    const CliRun read = Run({"read", "-p", "COM42"});
    EXPECT_NE(read.err.find("run `zorvik-cli doctor -p COM42`"), std::string::npos) << read.err;
}

}  // namespace
}  // namespace zorvik::testing
