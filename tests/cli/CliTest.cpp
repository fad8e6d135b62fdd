// zorvik-cli without a device: help, usage errors, password sources and files, each run as the
// program itself.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/cli/CliProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

CliRun Cli(std::vector<std::string> args, CliCall call = {}) {
    call.args = std::move(args);
    call.unset.push_back("ZORVIK_PASSWORD");
    return RunCli(ZORVIK_CLI_PROGRAM, call);
}

TempFolder::Bytes Bytes(const std::string& text) {
    return TempFolder::Bytes(text.begin(), text.end());
}

TEST(CliHelp, EveryCommandHasAHelpThatStartsWithItsUsageAndADescription) {
    for (const std::string command : {"ports", "detect", "keys", "read", "write", "dump", "diff",
                                      "passwd", "security", "flash", "provision", "convert"}) {
        SCOPED_TRACE(command);
        const CliRun run = Cli({command, "--help"});
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.starts_with("Usage: zorvik-cli " + command)) << run.out;
        const auto secondLine = run.out.find('\n') + 1;
        EXPECT_NE(run.out[secondLine], '\n') << "a one-line description follows the usage";
        EXPECT_EQ(run.err, "");
    }
    const CliRun program = Cli({"--help"});
    EXPECT_EQ(program.status, 0);
    EXPECT_TRUE(program.out.starts_with("Usage: zorvik-cli COMMAND")) << program.out;
    for (const char* status : {"0 ", "1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 ", "8 "}) {
        EXPECT_NE(program.out.find(std::string("\n  ") + status), std::string::npos) << status;
    }
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("zorvik-cli 1.")) << version.out;
}

struct UsageRow {
    std::vector<std::string> args;
    std::map<std::string, std::string> env;
    int status;
    const char* said;
};

TEST(CliUsage, BadCommandLinesAndPasswordsEndBeforeAnyPortIsOpened) {
    const std::vector<UsageRow> rows = {
        {{}, {}, 2, "missing command"},
        {{"frobnicate"}, {}, 2, "'frobnicate' is not a command"},
        {{"read", "-p", "COM41", "--colour"}, {}, 2, "unknown option --colour"},
        {{"read"}, {}, 2, "read: missing -p PORT"},
        {{"read", "-p", "ttyUSB0"}, {}, 2, "ttyUSB0: not a port"},
        {{"read", "-p", "COM41", "--text", "--json"}, {}, 2, "exclude each other"},
        {{"dump", "a", "b"}, {}, 2, "expected one FILE"},
        {{"diff", "a"}, {}, 2, "expected two configurations"},
        {{"read", "-p", "COM41"}, {{"ZORVIK_PASSWORD", "946"}}, 2, "not 4 characters"},
        // Characters beyond U+FFFF take two of the password box's four.
        {{"read", "-p", "COM41"}, {{"ZORVIK_PASSWORD", "\U0001F600abc"}}, 2, "not 4 characters"},
        {{"read", "-p", "COM41", "--password-file", "/nonexistent"}, {}, 7, "/nonexistent"},
        {{"flash", "-p", "COM41", "/nonexistent.bin"}, {}, 7, "/nonexistent.bin"},
        // A history that cannot be read is never an empty one.
        {{"history"},
         {{"XDG_STATE_HOME", "/dev/null"}},
         7,
         "history: the history cannot be read: /dev/null/zorvik-cli/history: Not a directory"},
        {{"restore", "0123", "-p", "COM41"},
         {{"XDG_STATE_HOME", "/dev/null"}},
         7,
         "restore: the history cannot be read: /dev/null/zorvik-cli/history"},
        {{"restore", "", "-p", "COM41"}, {}, 2, "restore: the record ID is empty"},
    };
    for (const UsageRow& row : rows) {
        SCOPED_TRACE(row.said);
        CliCall call;
        call.env = row.env;
        const CliRun run = Cli(row.args, call);
        EXPECT_EQ(run.status, row.status);
        EXPECT_NE(run.err.find(row.said), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// What cannot be taken is said before more is asked for: no second password, no port.
TEST(CliUsage, PasswordsAndFormsAreJudgedBeforeTheNextQuestion) {
    TempFolder folder;
    CliCall typed;
    typed.input = "12345\n12345\n";
    const CliRun passwd = Cli({"passwd", "-p", "COM50", "--new-password-stdin"}, typed);
    EXPECT_EQ(passwd.status, 2);
    EXPECT_NE(passwd.err.find("must be 4 characters; the device was not changed"),
              std::string::npos)
        << passwd.err;
    // No terminal and no --passwords-stdin: the form's fault comes before any question.
    const CliRun security =
        Cli({"security", "-p", "COM50", folder.Write("f.txt", Bytes("protection = on\n"))});
    EXPECT_EQ(security.status, 7);
    EXPECT_NE(security.err.find("no telephone number"), std::string::npos) << security.err;
}

TEST(CliUsage, AccessPasswordsCountAsThePasswordBoxCountsThem) {
    // "żółw" is 8 bytes but 4 characters; U+1F600 takes two of them; a sequence broken off at the
    // end counts as one.
    for (const std::string password : {"\u017C\u00F3\u0142w", "\U0001F600ab", "abc\xE2\x82"}) {
        SCOPED_TRACE(password);
        CliCall call;
        call.env = {{"ZORVIK_PASSWORD", password}};
        const CliRun run = Cli({"read", "-p", "COM41"}, call);
        EXPECT_NE(run.status, 0);
        EXPECT_EQ(run.err.find("not 4 characters"), std::string::npos) << run.err;
    }
}

TEST(CliFiles, DumpShowsTheSameSettingsForAnImageAndItsTextAndJsonForms) {
    TempFolder folder;
    TempFolder::Bytes image(256, 0);
    image[116] = 9;  // report interval, hours
    const std::string zvk = folder.Write("a.zvk", image);
    const CliRun text = Cli({"dump", zvk});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("\nreport.interval_hours = 9\n"), std::string::npos) << text.out;

    const CliRun json = Cli({"dump", zvk, "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"report.interval_hours\": 9"), std::string::npos) << json.out;

    EXPECT_EQ(Cli({"dump", folder.Write("a.txt", Bytes(text.out))}).out, text.out);
    EXPECT_EQ(Cli({"dump", folder.Write("a.json", Bytes(json.out))}).out, text.out);
    CliCall piped;
    piped.input = json.out;
    EXPECT_EQ(Cli({"dump", "-"}, piped).out, text.out);
}

TEST(CliFiles, DiffOfFilesExitsOneWithTheChangedKeysAndZeroWhenEqual) {
    TempFolder folder;
    const std::string a = folder.Write("a.txt", Bytes("report.interval_hours = 9\n"));
    const std::string b =
        folder.Write("b.txt", Bytes("report.interval_hours = 10\ngsm.network = roaming\n"));

    const CliRun differ = Cli({"diff", a, b});
    EXPECT_EQ(differ.status, 1) << differ.err;
    EXPECT_EQ(differ.out,
              "-report.interval_hours = 9\n+report.interval_hours = 10\n"
              "-gsm.network = home_only\n+gsm.network = roaming\n");
    const CliRun json = Cli({"diff", a, b, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("\"key\": \"gsm.network\""), std::string::npos) << json.out;
    // Four spaces a level, members in key order, one a line.
    EXPECT_EQ(json.out,
              "[\n"
              "    {\n"
              "        \"a\": \"9\",\n"
              "        \"b\": \"10\",\n"
              "        \"key\": \"report.interval_hours\"\n"
              "    },\n"
              "    {\n"
              "        \"a\": \"home_only\",\n"
              "        \"b\": \"roaming\",\n"
              "        \"key\": \"gsm.network\"\n"
              "    }\n"
              "]\n");

    const CliRun same = Cli({"diff", a, a});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");
    // No difference is still an array of two lines.
    EXPECT_EQ(Cli({"diff", a, a, "--json"}).out, "[\n]\n");
}

TEST(CliFiles, BadFilesNameTheirLineAndEndWithStatusSeven) {
    TempFolder folder;
    const std::string badConfig =
        folder.Write("bad.txt", Bytes("# comment\nreport.interval_hours = 99\n"));
    const CliRun config = Cli({"dump", badConfig});
    EXPECT_EQ(config.status, 7);
    EXPECT_NE(config.err.find("bad.txt: line 2: report.interval_hours"), std::string::npos)
        << config.err;

    const std::string badForm =
        folder.Write("security.txt", Bytes("protection = on\ntelephone = +48-600\n"));
    const CliRun form = Cli({"security", "-p", "COM41", badForm});
    EXPECT_EQ(form.status, 7);
    EXPECT_NE(form.err.find("security.txt:2: telephone: expected up to 12 digits"),
              std::string::npos)
        << form.err;

    const CliRun large =
        Cli({"flash", "-p", "COM41", folder.Write("big.bin", TempFolder::Bytes(61681))});
    EXPECT_EQ(large.status, 7);
    EXPECT_NE(large.err.find("too large"), std::string::npos) << large.err;
    const CliRun partial =
        Cli({"flash", "-p", "COM41", folder.Write("odd.bin", TempFolder::Bytes(300))});
    EXPECT_EQ(partial.status, 7);
    EXPECT_NE(partial.err.find("257-byte records"), std::string::npos) << partial.err;

    const CliRun shortImage = Cli({"dump", folder.Write("short.zvk", TempFolder::Bytes(100))});
    EXPECT_EQ(shortImage.status, 7);
}

// Hostile forms: however large a number and whatever bytes a value holds, the form is a file
// error naming its key and line, and nothing of it acts on the terminal.
TEST(CliFiles, HostileFormsAreFileErrorsThatNameTheKeyAndLineAndShowNoControlCharacter) {
    using namespace std::string_literals;
    TempFolder folder;
    const std::pair<std::string, std::string> cases[] = {
        {"{\n  \"report.interval_hours\": 1e400\n}\n", "line 2: report.interval_hours"},
        {"{\"report.enabled\": true,\n\"report.interval_hours\": -1e400}",
         "line 2: report.interval"},
        {"{\"report.interval_hours\": 123456789012345678901234567890}", "line 1: report.interval"},
        {"report.interval_hours = 123456789012345678901234567890\n", "line 1: report.interval"},
        {"report.enabled = \x1B]0;owned\x07\n", "line 1: report.enabled"},
        {"report.enabled = yes\rreport.enabled\0\x1B[2J = no\r"s, "line 1: "},
        {"{\"report.en\\u0000abled\\u001b[31m\": true}", "line 1: report.en\\x00abled\\x1B[31m"},
    };
    for (const auto& [text, said] : cases) {
        SCOPED_TRACE(text);
        const std::string name = text.starts_with("{") ? "form.json" : "form.txt";
        const CliRun run =
            Cli({"convert", folder.Write(name, Bytes(text)), folder.PathOf("o.zvk")});
        EXPECT_EQ(run.status, 7);
        EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
        const std::string body = run.err.substr(0, run.err.size() - 1);  // without its line end
        EXPECT_EQ(std::count_if(body.begin(), body.end(),
                                [](unsigned char c) { return c < 0x20 || c == 0x7F; }),
                  0)
            << run.err;
    }

    // Under a file size limit the output is a file error too, and leaves no temporary.
    const std::string in = folder.Write("in.txt", Bytes("report.interval_hours = 5\n"));
    const std::string out = folder.Write("out.zvk", TempFolder::Bytes(256, 0x11));
    CliCall limited;
    limited.args = {"-c", "ulimit -f 0 && exec \"$@\"", "sh", ZORVIK_CLI_PROGRAM, "convert", in,
                    out};
    const CliRun run = RunCli("/bin/sh", limited);
    EXPECT_EQ(run.status, 7) << run.err;
    EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
    EXPECT_EQ(TempFolder::Read(out), TempFolder::Bytes(256, 0x11));
    for (const auto& entry : std::filesystem::directory_iterator(folder.Root())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".zorvik-")) << entry.path();
    }
}

TEST(CliPortFolder, StaleLinkSaysWhereItLeadsAndAnOpenFolderIsWarnedAbout) {
    TempFolder folder;
    const std::string ports = folder.PathOf("runtime/zorvik-gsm/ports");
    std::filesystem::create_directories(ports);
    std::filesystem::permissions(folder.PathOf("runtime"), std::filesystem::perms::owner_all);
    std::filesystem::permissions(folder.PathOf("runtime/zorvik-gsm"),
                                 std::filesystem::perms::owner_all);
    std::filesystem::permissions(ports, std::filesystem::perms::owner_all);
    std::filesystem::create_symlink("/dev/serial/by-id/usb-FTDI_A1B2C3-if00-port0",
                                    ports + "/COM42");
    CliCall call;
    call.env.emplace("XDG_RUNTIME_DIR", folder.PathOf("runtime"));

    const CliRun stale = Cli({"read", "-p", "COM42"}, call);
    EXPECT_EQ(stale.status, 3);
    EXPECT_NE(stale.err.find("COM42: links to /dev/serial/by-id/usb-FTDI_A1B2C3-if00-port0, "
                             "which is not present"),
              std::string::npos)
        << stale.err;

    std::filesystem::permissions(ports, std::filesystem::perms::all);
    const CliRun listed = Cli({"ports"}, call);
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.err.find("warning: the port folder " + ports + " is skipped"),
              std::string::npos)
        << listed.err;
}

// The forms store and show what the window would after opening the same settings.
TEST(CliForms, AgreeWithTheWindow) {
    TempFolder folder;
    const auto convert = [&folder](const std::string& name, const std::string& form) {
        const CliRun run =
            Cli({"convert", folder.Write(name, Bytes(form)), folder.PathOf(name + ".zvk")});
        EXPECT_EQ(run.status, 0) << run.err;
        return TempFolder::Read(folder.PathOf(name + ".zvk"));
    };
    // The SMS centre is always stored in use.
    const TempFolder::Bytes centre = convert("centre.txt", "sms_centre.in_use = no\n");
    ASSERT_EQ(centre.size(), 256u);
    EXPECT_EQ(centre[0], 0x80);
    EXPECT_EQ(std::string(centre.begin() + 1, centre.begin() + 13), std::string(12, '_'));

    // An image whose flag is clear is shown in use, with the empty field the window shows.
    TempFolder::Bytes cleared(256, 0);
    cleared[0] = 0x0C;
    const CliRun dump = Cli({"dump", folder.Write("cleared.zvk", cleared)});
    EXPECT_TRUE(dump.out.starts_with("sms_centre.in_use = yes\nsms_centre.number =\n")) << dump.out;

    // Keys left out take the untouched window's values: its timing rows start at 0:01.
    const TempFolder::Bytes semalto = convert("semalto.txt", "device.type = semalto\n");
    ASSERT_EQ(semalto.size(), 256u);
    EXPECT_EQ(TempFolder::Bytes(semalto.begin() + 121, semalto.begin() + 129),
              (TempFolder::Bytes{0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00}));

    // A key given twice is an error in JSON as in text.
    const CliRun twice = Cli({"convert",
                              folder.Write("twice.json", Bytes("{\"report.interval_hours\": 9, "
                                                               "\"report.interval_hours\": 10}")),
                              folder.PathOf("twice.txt")});
    EXPECT_EQ(twice.status, 7);
    EXPECT_NE(twice.err.find("report.interval_hours: given twice"), std::string::npos) << twice.err;
    const std::vector<std::string> entries = folder.Entries();
    EXPECT_EQ(std::find(entries.begin(), entries.end(), "twice.txt"), entries.end());
}

TEST(CliConventions, GlobalOptionsGoBeforeTheCommandAndSlipsAreAnsweredWithTheNearestWord) {
    TempFolder folder;
    const std::string form = folder.Write("form.txt", Bytes("phone.1.numbr = +48600100200\n"));
    const std::string guard = folder.Write("guard.txt", Bytes("protecton = on\n"));
    const std::vector<UsageRow> rows = {
        // Before the command, then taken as the command's own.
        {{"-q", "--password-file", "/nonexistent", "read", "-p", "COM41"}, {}, 7, "/nonexistent"},
        {{"--password-file=/nonexistent", "dump", form}, {}, 2, "dump: unknown option"},
        {{"--colour", "read"}, {}, 2, "unknown option --colour"},
        {{"raed", "-p", "COM41"}, {}, 2, "'raed' is not a command; did you mean 'read'?"},
        {{"help", "bogus"}, {}, 2, "'bogus' is not a command"},
        {{"read", "-p", "COM41", "--jsno"}, {}, 2, "did you mean '--json'?"},
        {{"keys", "--trace", "t.txt"}, {}, 2, "keys: unknown option --trace"},
        {{"dump", form}, {}, 7, "did you mean 'phone.1.number'?"},
        {{"security", "-p", "COM41", guard}, {}, 7, "did you mean 'protection'?"},
    };
    for (const UsageRow& row : rows) {
        SCOPED_TRACE(row.said);
        const CliRun run = Cli(row.args);
        EXPECT_EQ(run.status, row.status);
        EXPECT_NE(run.err.find(row.said), std::string::npos) << run.err;
    }
}

// The help, the completion and the manual page are made from one table: a few facts that each
// must show, rather than the table again.
TEST(CliFaces, HelpCompletionAndManualPageShowTheSameCommandsAndOptions) {
    const std::string help = Cli({"--help"}).out;
    for (const char* command : {"\n  provision ", "\n  convert ", "\n  support-report "}) {
        EXPECT_NE(help.find(command), std::string::npos) << command;
    }
    EXPECT_EQ(Cli({"keys", "--help"}).out.find("--trace"), std::string::npos);
    EXPECT_NE(Cli({"help", "provision"}).out.find("--trace FILE"), std::string::npos);

    const std::string page = Cli({"--manual-page", "2026-12-10"}).out;
    EXPECT_TRUE(page.starts_with(".\\\"")) << page.substr(0, 80);
    for (const char* fact : {".B zorvik\\-cli provision", ".B support\\-report", "\\-\\-resume",
                             ".B \\-\\-trace FILE"}) {
        EXPECT_NE(page.find(fact), std::string::npos) << fact;
    }

    // The completion in a plain bash, without bash-completion's helpers.
    TempFolder folder;
    const std::string script = folder.Write("zorvik-cli", Bytes(Cli({"--completion", "bash"}).out));
    const auto complete = [&script](const std::string& line,
                                    std::map<std::string, std::string> env = {}) {
        CliCall call;
        call.env = std::move(env);
        call.args = {"-c",
                     "source \"$0\"; COMP_WORDS=($1); [[ $1 == *' ' ]] && COMP_WORDS+=(''); "
                     "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _zorvik_cli; "
                     "printf '%s\\n' \"${COMPREPLY[@]}\"",
                     script, line};
        return RunCli("/bin/bash", call).out;
    };
    EXPECT_EQ(complete("zorvik-cli prov"), "provision\n");
    EXPECT_EQ(complete("zorvik-cli keys --"), "--help\n--verbose\n--quiet\n");
    EXPECT_EQ(complete("zorvik-cli -q --password-file pw read --pa"), "--password-file\n");
    EXPECT_EQ(complete("zorvik-cli help supp"), "support-report\n");
    EXPECT_EQ(complete("zorvik-cli provision --re"), "--report\n--resume\n");

    // What the program itself knows: the history's ids and sites, the COM names in any case.
    std::filesystem::create_directories(folder.PathOf("state/zorvik-cli/history"));
    folder.Write("state/zorvik-cli/history/0123456789ab.json",
                 Bytes(R"({"id": "0123456789ab", "time": "2026-12-10T04:15:00.000001Z", )"
                       R"("site": "Gdańsk Wrzeszcz"})"));
    const std::string ports = folder.PathOf("runtime/zorvik-gsm/ports");
    std::filesystem::create_directories(ports);
    std::filesystem::permissions(folder.PathOf("runtime"), std::filesystem::perms::owner_all);
    std::filesystem::create_symlink("/dev/ptmx", ports + "/COM43");
    const std::map<std::string, std::string> env = {
        {"PATH", std::filesystem::path(ZORVIK_CLI_PROGRAM).parent_path().string() + ":" +
                     std::getenv("PATH")},
        {"XDG_STATE_HOME", folder.PathOf("state")},
        {"XDG_RUNTIME_DIR", folder.PathOf("runtime")}};
    EXPECT_EQ(complete("zorvik-cli restore ", env), "0123456789ab\n");
    EXPECT_EQ(complete("zorvik-cli history --site G", env), "Gdańsk Wrzeszcz\n");
    const std::string named = complete("zorvik-cli read -p co", env);
    EXPECT_NE(named.find("COM43\n"), std::string::npos) << named;
    EXPECT_EQ(named, complete("zorvik-cli read -p COM", env));
    CliCall listing;
    listing.env = env;
    const std::string listed = Cli({"history"}, listing).out;
    EXPECT_TRUE(listed.starts_with("ID            TIME (UTC)            COMMAND")) << listed;
    EXPECT_NE(listed.find("\n0123456789ab  2026-12-10T04:15:00Z  "), std::string::npos) << listed;
    EXPECT_NE(Cli({"help", "convert"}).out.find("IN OUT [--text | --json]"), std::string::npos);
}

// read -o, convert and --backup name their output's form by one rule; a 256-byte file that is
// no text is an image whatever its name, and a text with a mistake stays a text.
TEST(CliFiles, OneNamingRuleForOutputsAndImagesKnownByTheirBytes) {
    TempFolder folder;
    const std::string form = folder.Write("form.txt", Bytes("report.interval_hours = 9\n"));
    struct Case {
        std::string out;
        std::vector<std::string> options;
        std::string startsWith;  // "" for a 256-byte image
    };
    for (const Case& c : std::vector<Case>{{"site.bin", {}, ""},
                                           {"site", {}, ""},
                                           {"site.zvk", {}, ""},
                                           {"site.TXT", {}, "sms_centre.in_use = yes\n"},
                                           {"site.json", {}, "{"},
                                           {"site.bin", {"--json"}, "{"},
                                           {"site.out", {"--text"}, "sms_centre"}}) {
        std::vector<std::string> args = {"convert", form, folder.PathOf(c.out)};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = Cli(args);
        ASSERT_EQ(run.status, 0) << c.out << ": " << run.err;
        const TempFolder::Bytes bytes = TempFolder::Read(folder.PathOf(c.out));
        if (c.startsWith.empty()) {
            ASSERT_EQ(bytes.size(), 256u) << c.out;
            EXPECT_EQ(bytes[116], 9) << c.out;
            // Read back as an image by its bytes alone, by every command that reads one.
            EXPECT_NE(Cli({"dump", folder.PathOf(c.out)}).out.find("report.interval_hours = 9\n"),
                      std::string::npos)
                << c.out;
            EXPECT_EQ(Cli({"diff", folder.PathOf(c.out), form}).status, 0) << c.out;
        } else {
            EXPECT_TRUE(std::string(bytes.begin(), bytes.end()).starts_with(c.startsWith)) << c.out;
        }
    }
    EXPECT_EQ(Cli({"convert", form, folder.PathOf("x.zvk"), "--text"}).status, 2);
    // OUT the same file as IN under another name: refused, the form kept.
    std::filesystem::create_hard_link(form, folder.PathOf("same.txt"));
    EXPECT_EQ(Cli({"convert", form, folder.PathOf("same.txt")}).status, 7);
    EXPECT_EQ(TempFolder::Read(form), Bytes("report.interval_hours = 9\n"));
    EXPECT_EQ(Cli({"write", "-p", "COM50", form, "--backup", folder.PathOf("same.txt")}).status, 7);
    // 256 bytes of text with a mistake: still a text, its line named.
    const CliRun text = Cli({"dump", folder.Write("bad", Bytes(std::string(255, 'x') + "\n"))});
    EXPECT_EQ(text.status, 7);
    EXPECT_NE(text.err.find("line 1"), std::string::npos) << text.err;
}

// Only what the form gives is named as not held: a form without device.type takes the
// untouched window's timings, which a Wardeno does not store, and names none of them.
TEST(CliFiles, WarningsNameOnlyTheSettingsTheFormGives) {
    TempFolder folder;
    const CliRun oneLine = Cli({"write", "-p", "COM50", "--strict",
                                folder.Write("net.txt", Bytes("gsm.network = roaming\n"))});
    EXPECT_EQ(oneLine.status, 3) << oneLine.err;  // past the form, at the missing port
    EXPECT_EQ(oneLine.err.find("timing."), std::string::npos) << oneLine.err;
    const CliRun given =
        Cli({"write", "-p", "COM50", "--strict",
             folder.Write("t.json", Bytes("{\"timing.red.seconds\": 5, \"gsm.network\": "
                                          "\"roaming\"}"))});
    EXPECT_EQ(given.status, 7);
    EXPECT_NE(given.err.find("the device will not hold timing.red.seconds = 5"), std::string::npos)
        << given.err;
}

TEST(CliProvision, TheWholeTableIsCheckedBeforeAnyPortOpens) {
    TempFolder folder;
    const std::string site = folder.Write("site.txt", Bytes("report.enabled = yes\n"));
    const std::string table =
        folder.Write("table.csv", Bytes("id,report.interval_hours\nfirst,12\nsecond,49\n"));
    // COM50 has no device behind it: a table found bad says so first.
    const CliRun bad = Cli({"provision", site, "--devices", table, "-p", "COM50"});
    EXPECT_EQ(bad.status, 7);
    EXPECT_NE(bad.err.find("table.csv: row 2, column report.interval_hours"), std::string::npos)
        << bad.err;
    EXPECT_EQ(Cli({"provision", site, "--devices", table}).status, 2);
    EXPECT_EQ(Cli({"provision", site, "-p", "COM50"}).status, 2);
    EXPECT_EQ(Cli({"provision", site, "--devices", table, "-p", "COM50", "--resume"}).status, 2);
}

// Inputs the program cannot take as they stand are refused or warned about, never taken
// silently. COM50 has no device: each case shows before a port would be used.
struct InputRow {
    const char* name;
    const char* file;  // written to the scratch folder, and its path given for its name
    std::string text;
    std::vector<std::string> args;  // a leading ZORVIK_HISTORY=... goes to the environment
    int status;
    std::string said;  // "!" in front: what is not said
};

TEST(CliFiles, InputsAreRefusedOrWarnedAboutNeverTakenSilently) {
    const std::vector<std::string> convert = {"convert", "f.txt", "o.zvk", "--preset", "p.txt"};
    const std::vector<std::string> provision = {"provision", "f.txt", "--devices",
                                                "t.csv",     "-p",    "COM50"};
    const std::vector<std::string> read = {"read", "-p", "COM50", "--password-file", "pw"};
    constexpr const char* kUtf8Mark = "\xEF\xBB\xBF";
    const auto With = [&read](const std::string& setting) {
        std::vector<std::string> args = read;
        args.insert(args.begin(), setting);
        return args;
    };
    const std::vector<InputRow> rows = {
        {"an empty preset", "p.txt", "", convert, 7, "p.txt: the form is empty"},
        {"a preset of comments alone", "p.txt", "# base\n\n", convert, 7,
         "p.txt: the form is empty"},
        {"a UTF-16 preset", "p.txt", std::string("\xFF\xFEr\0e\0", 6), convert, 7,
         "p.txt: UTF-16 text (Notepad's \"Unicode\"): save it as UTF-8"},
        {"a UTF-16 table without a byte order mark", "t.csv", std::string("i\0d\0\n\0", 6),
         provision, 7, "t.csv: UTF-16 text"},
        {"a row of empty cells, as a spreadsheet leaves it", "t.csv",
         "id;report.interval_hours\r\na;3\r\n;\r\n", provision, 8,
         "t.csv: line 3: every cell is empty; the row is skipped"},
        {"a table of empty rows alone", "t.csv", "id;report.interval_hours\r\n;\r\n", provision, 7,
         "t.csv: no rows after the header"},
        {"a history switch neither on nor off", "pw", "9466\n", With("ZORVIK_HISTORY=maybe"), 3,
         "warning: ZORVIK_HISTORY=maybe is neither on (on, 1, yes, true) nor off"},
        {"a history switched off in capitals", "pw", "9466\n", With("ZORVIK_HISTORY=OFF"), 3,
         "!warning"},
        {"a byte order mark before the password", "pw", std::string(kUtf8Mark) + "9466\n", read, 3,
         "!not 4 characters"},
    };
    for (const InputRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        CliCall call;
        call.env = {{"XDG_STATE_HOME", folder.PathOf("state")},
                    {"XDG_RUNTIME_DIR", folder.PathOf("runtime")}};
        folder.Write("f.txt", Bytes("report.interval_hours = 5\n"));
        folder.Write(row.file, Bytes(row.text));
        std::vector<std::string> args;
        for (const std::string& arg : row.args) {
            if (arg.starts_with("ZORVIK_HISTORY=")) {
                call.env["ZORVIK_HISTORY"] = arg.substr(arg.find('=') + 1);
            } else {
                args.push_back(
                    arg.find('.') != std::string::npos || arg == "pw" ? folder.PathOf(arg) : arg);
            }
        }
        const CliRun run = Cli(args, call);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_EQ(run.err.find(row.said.substr(row.said.starts_with('!'))) == std::string::npos,
                  row.said.starts_with('!'))
            << run.err;
    }
}

}  // namespace

// A reader that leaves early is not a failure of the command; a full disk is.
TEST(CliOutput, AReaderThatLeavesEarlyIsQuietAndAFullDiskIsAFileError) {
    CliCall piped;
    piped.args = {"-c", "set -o pipefail; { sleep 0.2; exec \"$1\" --help; } | true", "sh",
                  ZORVIK_CLI_PROGRAM};
    const CliRun help = RunCli("/bin/bash", piped);
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.err, "");

    CliCall full;
    full.args = {"-c", "exec \"$1\" --help >/dev/full", "sh", ZORVIK_CLI_PROGRAM};
    const CliRun disk = RunCli("/bin/sh", full);
    EXPECT_EQ(disk.status, 7);
    EXPECT_NE(disk.err.find("cannot write to standard output"), std::string::npos) << disk.err;
}

}  // namespace zorvik::testing
