// The command table: every command, its options and help, and the function that runs it.
#include "cli/CommandTable.h"

#include <algorithm>
#include <array>

#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/SupportReport.h"
#include "cli/System.h"
#include "files/History.h"
#include "serial/PortMap.h"

namespace zorvik::cli {

namespace {

constexpr OptionRule kHelp{"help", 'h', "", "show this help"};
constexpr OptionRule kVerbose{"verbose", 'v', "", "show each step on standard error"};
constexpr OptionRule kQuiet{"quiet", 'q', "", "no progress, confirmations or warnings"};

constexpr OptionRule kPasswordFile{"password-file", 0, "FILE",
                                   "take the access password from FILE's first line"};
constexpr OptionRule kTrace{"trace", 0, "FILE", "append a byte trace of the exchange to FILE"};
constexpr OptionRule kJson{"json", 0, "", "the JSON form"};
constexpr OptionRule kNoVerify{"no-verify", 0, "", "do not read the configuration back"};

constexpr OptionRule kPreset{"preset", 0, "FILE",
                             "lay the text or JSON form FILE over the configuration; give it\n"
                             "once per preset, each applied in turn",
                             true};
constexpr OptionRule kPresetOverride{"preset-override", 0, "",
                                     "a later preset may give a key an earlier one gave"};
constexpr OptionRule kSite{"site", 0, "NAME", "the site the history record names"};
constexpr OptionRule kNoHistory{"no-history", 0, "",
                                "keep no record of this command in the history"};

constexpr std::array kCommon{kHelp, kVerbose, kQuiet};

constexpr std::array kProgram{
    OptionRule{"help", 'h', "",
               "show this help; 'zorvik-cli COMMAND --help' (or 'zorvik-cli\n"
               "help COMMAND') shows a command's"},
    OptionRule{"version", 0, "", "show the version"},
    OptionRule{"verbose", 'v', "", "(every command) show each step on standard error"},
    OptionRule{"quiet", 'q', "", "(every command) no progress, confirmations or warnings"},
};

constexpr std::string_view kIntroduction =
    R"(Usage: zorvik-cli COMMAND [OPTION]... [ARGUMENT]...
Reads, writes and compares Zorvik GSM configurations, changes passwords and flashes firmware.

Every command talks to the device through the same exchange as the configurator's window;
nothing here needs a display.
)";

// Where the help's lines end at the latest: a command's own text, and the program's closing
// paragraphs, which are indented.
constexpr std::size_t kTextWidth = 95;
constexpr std::size_t kClosingWidth = 89;
constexpr std::size_t kClosingIndent = 2;

// `text` as one paragraph filled to `width`, each line indented by `indent` spaces: texts made
// from the platform's facts have no line breaks of their own.
std::string Filled(std::string_view text, std::size_t width = kTextWidth, std::size_t indent = 0) {
    std::string out;
    std::size_t column = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(" \n", at);
        if (start == std::string_view::npos) {
            break;
        }
        std::size_t end = text.find_first_of(" \n", start);
        end = end == std::string_view::npos ? text.size() : end;
        const std::string_view word = text.substr(start, end - start);
        if (column == 0) {
            out.append(indent, ' ');
            column = indent;
        } else if (column + 1 + word.size() > width) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
        } else {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        at = end;
    }
    return out;
}

std::string ExitStatusLines() {
    std::string lines;
    const auto line = [&lines](Exit code, std::string_view meaning) {
        std::string number = std::to_string(ToInt(code));
        number.resize(5, ' ');
        lines += "  " + number + std::string(meaning) + "\n";
    };
    for (const ExitMeaning& exit : kExitMeanings) {
        line(exit.code, exit.meaning);
    }
    line(Exit::Interrupted, Platform().interrupted);
    line(Exit::Terminated, Platform().terminated);
    return lines;
}

std::string MakeClosing() {
    const PlatformFacts& platform = Platform();
    std::string closing =
        "-v, -q, --password-file and --trace may stand before the command as well as after it.\n"
        "\nPorts:\n" +
        Filled("PORT is a COM name as the configurator's window lists it (" +
                   ComPortName(kFirstComPort) + " to " + ComPortName(kLastComPort) +
                   "; see 'zorvik-cli ports'), " + std::string(platform.portForms) +
                   "or the address of a serial server on another machine: rfc2217://HOST:PORT "
                   "(RFC 2217, as ser2net speaks it) or socket://HOST:PORT (raw TCP).",
               kClosingWidth, kClosingIndent) +
        R"(

Access password:
  Commands that talk to the device sign with its 4-character access password, taken from
  the first line of the file given with --password-file, else from the environment
  variable ZORVIK_PASSWORD, else the factory default 9466. It is never given on the command
  line. New passwords are typed on the terminal without echo, or read from standard input.

Output:
  Results go to standard output; progress and diagnostics go to standard error.

History:
)" +
        Filled(
            "read, write, provision and restore keep each image they read or write as a .zvk "
            "file the window opens, with its time, command, port, by-id name, site and "
            "SHA-256, under " +
                DefaultHistoryFolderText() +
                ". --no-history, or ZORVIK_HISTORY=off in the environment, keeps "
                "nothing. See 'zorvik-cli history'.",
            kClosingWidth, kClosingIndent) +
        "\n\nByte trace:\n" +
        Filled(std::string("Every command that talks to the device takes --trace FILE (or the "
                           "environment variable ZORVIK_TRACE=FILE): each byte written and read, "
                           "with the time and the step of the exchange, is appended to FILE. "
                           "Passwords are masked, so a trace can be mailed as it is") +
                   (platform.simulator
                        ? "; 'zorvik-sim --replay FILE' plays the device's side of it back."
                        : "."),
               kClosingWidth, kClosingIndent) +
        "\n\nExit status:\n" + ExitStatusLines();
    if (platform.manualPage) {
        closing += "\nSee zorvik-cli(1) for the forms, the environment and examples.\n";
    }
    return closing;
}

std::vector<CommandEntry> MakeTable() {
    const PlatformFacts& platform = Platform();
    const OptionRule kPort{"port", 'p', "PORT", platform.portOption};
    std::vector<CommandEntry> table;

    table.push_back({
        .name = "ports",
        .brief = "ports [--json]",
        .summary = "list the serial ports with their device paths",
        .synopsis = "[--json]",
        .description = "Lists the serial ports present, by their COM names.\n\n" +
                       Filled(std::string(platform.portsLine) + " " + PortMap::Described() + "."),
        .options = {{"json", 0, "",
                     "print a JSON array of {\"name\", \"device\", \"by_id\"} objects;\n"
                     "\"by_id\" is null where there is no such name"}},
        .run = Ports,
    });

    table.push_back({
        .name = "detect",
        .brief = "detect",
        .summary = "find the port on which the device answers",
        .synopsis = "[--all] [--json]",
        .description = R"(Finds the port on which the device answers and prints its COM name.

Searches COM1 to COM50 as the window's autodetection does: each present port is opened and
listened to for the device's Ready banner (about 0.8 s a port); nothing is sent. The search
stops at the first port that answers; with --all every present port is listened to and each
one that answers is printed. A port another program holds is reported as busy on standard
error. Exits with status 4 when no port answers.)",
        .options = {{"all", 0, "", "listen to every present port, not only up to the first answer"},
                    {"json", 0, "",
                     "print a JSON array of {\"name\", \"device\", \"state\"} objects, one\n"
                     "per port listened to; \"state\" is \"ready\", \"silent\", \"busy\" or\n"
                     "\"unusable\""},
                    kTrace},
        .run = Detect,
        .writesTrace = true,
    });

    table.push_back({
        .name = "keys",
        .brief = "keys",
        .summary = "list every configuration key with the values it takes",
        .synopsis = "",
        .description = R"(Lists every key of the configuration's text form with the values it takes.

One key a line, in the order of the image: the key, a tab, its values or range ("yes, no",
"1 to 48", "5 to 95 in steps of 5"). The unused bytes of the image come last, as one line
"reserved.OFFSET" with the offsets they may have.)",
        .run = Keys,
    });

    table.push_back({
        .name = "read",
        .brief = "read -p PORT",
        .summary = "read the configuration (as text, JSON or a .zvk file)",
        .synopsis = "-p PORT [-o FILE] [--text | --json]",
        .description = R"(Reads the configuration from the device.

Without -o the settings are printed as text ("key = value" lines). With -o FILE they are
written to FILE: as the 256-byte image that the window opens when FILE ends in .zvk (or no
form is chosen), as text with --text or a name ending in .txt, as JSON with --json or a
name ending in .json. A .zvk name holds an image only: --text or --json with it is refused.
)" + Filled("FILE's folder is checked before the device is read. A file is replaced only once the "
            "new one is complete; " +
            std::string(platform.writtenInto) + " is written into, and \"-\" is standard output."),
        .options = {kPort,
                    {"output", 'o', "FILE", "write the configuration to FILE"},
                    {"text", 0, "", "the text form"},
                    kJson,
                    kPasswordFile,
                    kTrace,
                    kSite,
                    kNoHistory},
        .run = Read,
        .writesTrace = true,
    });

    table.push_back({
        .name = "write",
        .brief = "write -p PORT FILE",
        .summary = "write a configuration, then read it back and compare",
        .synopsis =
            "-p PORT FILE [--no-verify] [--merge] [--strict] [--dry-run]\n"
            "                         [--backup FILE] [--preset FILE]... [--preset-override]\n"
            "                         [--site NAME] [--no-history]",
        .description = R"(Writes a configuration to the device, then reads it back and compares.

FILE is a .zvk image as the window saves it, a text form (as 'read' prints it) or a JSON form
(a name ending in .json, or text starting with "{"); "-" reads the text or JSON form from
standard input. A form that gives no setting is refused, and so is a .zvk file that holds a
form. Any difference found on reading back is an error (status 6).

In a text or JSON form, keys that are left out take the values of the window's untouched
configuration (what the window shows before anything is read or opened), so the file alone
decides what the device holds. With --merge they keep the device's current values instead:
the configuration is read first and only the keys in the file change.

A setting the device will not hold as given (a telephone number whose phone.N.in_use is no,
timings given for a Wardeno) is named in a warning on standard error; --strict refuses the
form instead, before anything is sent.

Presets are laid over FILE in the order given, each giving only its own keys; a key two
presets give is refused (status 7) unless --preset-override lets the later one win.

With the history on, the device's configuration is read first, as --backup does, and kept
beside the one written; a device whose configuration fails its checksum is still written.)",
        .options = {kPort,
                    kNoVerify,
                    {"merge", 0, "", "keys left out keep the device's current values"},
                    {"strict", 0, "", "refuse settings the device will not hold (status 7)"},
                    {"dry-run", 0, "",
                     "read the device and print what would change, as 'diff' does\n"
                     "(\"-\" the device's value, \"+\" the new one); send nothing"},
                    {"backup", 0, "FILE",
                     "first read the device's configuration into FILE (the image,\n"
                     "or the text or JSON form for a .txt or .json name); FILE may\n"
                     "not be the form being written"},
                    kPreset,
                    kPresetOverride,
                    kPasswordFile,
                    kTrace,
                    kSite,
                    kNoHistory},
        .run = Write,
        .operands = OperandKind::Files,
        .writesTrace = true,
    });

    table.push_back({
        .name = "dump",
        .brief = "dump FILE",
        .summary = "print the settings of a configuration file",
        .synopsis = "FILE [--json]",
        .description = R"(Prints the settings of a configuration file.

FILE is a .zvk image, a text form or a JSON form ("-" for standard input). The settings are
printed as text ("key = value" lines, in the order of the image), or as JSON.)",
        .options = {kJson},
        .run = Dump,
        .operands = OperandKind::Files,
    });

    table.push_back({
        .name = "diff",
        .brief = "diff A B",
        .summary = "print the settings that differ (A and B: files or -p PORT)",
        .synopsis = "A B",
        .description =
            R"(Prints the settings that differ between two configurations, by key, with both values.

A and B are configuration files (a .zvk image, a text or a JSON form) or "-p PORT" for the
configuration the device holds. Each difference is printed as two lines, "-key = value of
A" and "+key = value of B". Exits with status 1 when the configurations differ and 0 when
they are the same, as diff(1) does.)",
        .options = {{"port", 'p', "PORT", "read this side from the device on PORT", true},
                    {"json", 0, "", "print a JSON array of {\"key\", \"a\", \"b\"} objects"},
                    kPasswordFile,
                    kTrace},
        .run = Diff,
        .operands = OperandKind::Files,
        .writesTrace = true,
    });

    table.push_back({
        .name = "passwd",
        .brief = "passwd -p PORT",
        .summary = "change the device's access password",
        .synopsis = "-p PORT [--new-password-stdin]",
        .description = R"(Changes the device's 4-character access password.

The new password is typed twice on the terminal without echo, or read from the first line
of standard input with --new-password-stdin; it is never given on the command line. The
current one comes from --password-file, ZORVIK_PASSWORD or the factory default 9466. After
the change the device answers only to the new password.)",
        .options = {kPort,
                    {"new-password-stdin", 0, "", "read the new password from standard input"},
                    {"password-file", 0, "FILE",
                     "take the current access password from FILE's first line"},
                    kTrace},
        .run = Passwd,
        .writesTrace = true,
    });

    table.push_back({
        .name = "security",
        .brief = "security -p PORT FILE",
        .summary = "send the anti-theft settings from a text form",
        .synopsis = "-p PORT FILE [--passwords-stdin]",
        .description = R"(Sends the anti-theft settings from a small text form.

FILE holds "key = value" lines ("#" starts a comment; a key given twice is refused; a key
left out takes the value shown here, the untouched panel's, so a form with only a telephone
turns protection off):
  protection = off            anti-theft protection, on or off
  telephone =                 the anti-theft telephone number, "+" and up to 12 digits
  change-password = no        also set a new security password, yes or no
  report-switch-on = off      report the device being switched on
  report-sim-change = off     report a change of SIM card
  report-cyclic = off         periodic reports
  report-interval = 48        hours between periodic reports, 1 to 240
  report-start-hour = 12      hour of the first periodic report, 0 to 23

The current 10-character security password, and the new one when protection is on and
change-password is yes, are typed on the terminal without echo (the new one twice), or read
from standard input with --passwords-stdin: the current one on the first line, the new one
on the second. They are never in the file or on the command line.)",
        .options = {kPort,
                    {"passwords-stdin", 0, "", "read the security passwords from standard input"},
                    kPasswordFile,
                    kTrace},
        .run = Security,
        .operands = OperandKind::Files,
        .writesTrace = true,
    });

    table.push_back({
        .name = "flash",
        .brief = "flash -p PORT FIRMWARE.bin",
        .summary = "program, verify and reset the device's firmware",
        .synopsis = "-p PORT FIRMWARE.bin [--no-verify] [--no-reset]",
        .description =
            R"(Programs the device's firmware, reads it back to verify it, and resets the device.

FIRMWARE.bin is a whole number of 257-byte records, at least one, at most 61680 bytes; it is
read whole before anything is sent. Progress goes to standard error: a bar on a terminal, a
line every 10 % otherwise. Ctrl-C before programming begins changes nothing on the device;
)" + Filled("once it has begun, a first Ctrl-C only warns, since stopping leaves the device "
            "without complete firmware (" +
            std::string(platform.stopsAtOnce) +
            " stops at once). Any failure during programming says that the firmware "
            "is incomplete and the device must be flashed again."),
        .options = {kPort,
                    {"no-verify", 0, "", "do not read the firmware back"},
                    {"no-reset", 0, "", "do not reset the device at the end"},
                    kTrace},
        .run = Flash,
        .operands = OperandKind::Firmware,
        .writesTrace = true,
    });

    table.push_back({
        .name = "provision",
        .brief = "provision TEMPLATE --devices TABLE.csv -p PORT...",
        .summary = "write a batch of devices on several ports at once",
        .synopsis =
            "TEMPLATE --devices TABLE.csv [-p PORT]... [--all-ports]\n"
            "                           [--report REPORT.csv] [--excel] [--watch] [--resume]\n"
            "                           [--strict] [--trace FILE] [--preset FILE]...\n"
            "                           [--preset-override] [--no-history]",
        .description =
            R"(Writes TEMPLATE, with each row's own values, to the devices on every PORT at once.

TEMPLATE is any configuration form, as 'write' takes it. TABLE.csv has a header row: the
column 'id' names the device in the report (default: the row's number), 'password' is the
device's current access password, 'new_password' is set after the verified write, and every
other column is a key of the text form whose value replaces the template's; a 'port' column
ties a row to that port. An empty cell keeps the template's value. The table may be separated
by commas or semicolons (as its header line is) and must be UTF-8. The whole table is checked
before any port opens: a value the device will not hold is named with its row and column (a
warning; --strict refuses the table).

Each port takes the next row when a device answers on it, writes, reads back and compares,
then changes the access password where the row asks, and appends a line to the report.
A device that fails fails only its own row. Presets lie over TEMPLATE, and each row's cells
over them; each attempt is kept in the history under the row's id. Rows go to devices in the
order the devices answer: plug devices in the table's order when a row belongs to a particular
device. A device that already holds a finished row (the report's, or this run's) is never
given another one: it is skipped with a line that says so. The run ends with a count of the
rows done, failed and not started.)",
        .options = {{"port", 'p', "PORT", "a port to work on; give it once per port", true},
                    {"all-ports", 0, "", "every port present"},
                    {"devices", 0, "TABLE.csv", "the table of devices"},
                    {"report", 0, "REPORT.csv",
                     "append a line per attempt (time,row,port,by_id,result,\n"
                     "exit_status,message,sha256)"},
                    {"excel", 0, "",
                     "start a new report as a spreadsheet in a Polish (or other\n"
                     "semicolon) locale opens it: UTF-8 marked, separated by semicolons"},
                    {"resume", 0, "", "skip the rows that have an ok line in the report"},
                    {"strict", 0, "",
                     "refuse rows with values the device will not hold (status 7)"},
                    {"watch", 0, "",
                     "a station: after each device, wait for it to go and for the\n"
                     "next one; a failed row goes to the next device. Ctrl-C lets\n"
                     "the current devices finish; a second Ctrl-C stops at once"},
                    {"password-file", 0, "FILE", "the access password of rows without one"},
                    {"trace", 0, "FILE",
                     "append a byte trace of the exchanges to FILE, a section per\n"
                     "device"},
                    kPreset,
                    kPresetOverride,
                    kNoHistory},
        .epilogue = "Exit status: 0 when every attempt succeeded, 8 when a device failed.\n",
        .run = ProvisionCommand,
        .operands = OperandKind::Files,
    });

    table.push_back({
        .name = "convert",
        .brief = "convert IN OUT",
        .summary = "turn a configuration form into another (.zvk, .json, text)",
        .synopsis = "IN OUT [--text | --json] [--preset FILE]... [--preset-override]",
        .description =
            R"(Turns a configuration form into another, chosen by OUT's name as 'read -o' chooses it: .json
JSON, .txt the text form, anything else the 256 bytes 'write' would send for IN, with the
presets laid over it as 'write' lays them; --text or --json choose the form whatever the
name. OUT may not be IN.)",
        .options = {{"text", 0, "", "the text form"}, kJson, kPreset, kPresetOverride},
        .epilogue = {},
        .run = Convert,
        .operands = OperandKind::Files,
    });

    // The doctor's checks are Linux's devices, groups and udev; elsewhere it is not offered.
    if (platform.doctor)
        table.push_back({
            .name = "doctor",
            .brief = "doctor [-p PORT]",
            .summary = "find out why a port will not open or no device answers",
            .synopsis = "[-p PORT] [--json] [--fix]",
            .description =
                R"(Checks a port, one line per check, each "ok" or the problem with the command that mends it:
the ports present and where PORT leads; whether this user may open it (the device's group and
mode, a group joined since this login began); another program holding it; ModemManager
running and not told to leave the adapter alone; brltty's udev rules claiming the adapter; an
FTDI adapter's latency timer; a port-folder link's target; finally, whether the port opens and
the device's Ready banner arrives. Without -p the only port present is checked.

--fix, as root, writes one udev rule for this adapter alone (by its USB vendor, product and
serial: the user at the seat may open it, ModemManager leaves it alone, an FTDI latency timer
is set to 1 ms), has udev apply it and checks again; otherwise it prints the rule and the
commands. It never removes a package.)",
            .options = {kPort,
                        {"json", 0, "",
                         "print {\"port\", \"device\", \"status\", \"checks\"}, each check\n"
                         "{\"check\", \"ok\", \"warning\", \"detail\", \"fix\"}; \"ok\" is false\n"
                         "only for a problem, which keeps the port from being used"},
                        {"fix", 0, "", "write the adapter's udev rule (as root), or print it"}},
            .epilogue =
                "Exit status: 0 when the port can be used, 3 when it cannot, 4 when it opens but\n"
                "no device answers.\n",
            .run = Doctor,
        });

    table.push_back({
        .name = "history",
        .brief = "history",
        .summary = "list the images kept of the devices read and written",
        .synopsis = "[--site NAME] [--json]",
        .description =
            R"(Lists the history's records, newest first: id, time (UTC), command and what the image is
(read, before a write, written), port, site, the image's SHA-256 (its start) and the outcome.

)" + Filled("Each record's image is a .zvk file the window opens, kept with its record under " +
            DefaultHistoryFolderText() +
            ", readable by its owner only. 'zorvik-cli restore ID -p PORT' writes one "
            "back."),
        .options = {{"site", 0, "NAME", "only the records of this site"},
                    {"json", 0, "",
                     "print a JSON array of {\"id\", \"time\", \"command\", \"stage\",\n"
                     "\"port\", \"by_id\", \"site\", \"sha256\", \"outcome\", \"image\"}"}},
        .epilogue = {},
        .run = History,
    });

    table.push_back({
        .name = "restore",
        .brief = "restore ID -p PORT",
        .summary = "write an image from the history back to a device",
        .synopsis = "ID -p PORT [--site NAME] [--no-history]",
        .description =
            R"(Writes the image of a history record to the device, then reads it back and compares.

ID is the record's id or any start of it that no other record's id shares. A record whose
image file no longer matches its SHA-256 is refused.)",
        .options = {kPort, kPasswordFile, kTrace, kSite, kNoHistory},
        .epilogue = {},
        .run = Restore,
        .operands = OperandKind::HistoryRecords,
        .writesTrace = true,
    });

    table.push_back({
        .name = "support-report",
        .brief = "support-report",
        .summary = "describe this machine's serial side for a problem report",
        .synopsis = "[-o FILE] [--trace FILE]",
        .description = Filled("Describes this machine's serial side, for a problem report: " +
                              std::string(SupportReportContents()) + ", and a trace where given.") +
                       R"(

The report holds no passwords and no environment values. Attach it to a problem report.)",
        .options = {{"output", 'o', "FILE", "write the report to FILE instead of standard output"},
                    // A trace to include, not one to write.
                    {"trace", 0, "FILE",
                     "include this byte trace (made with --trace) in the report"}},
        .run = SupportReportCommand,
    });

    return table;
}

}  // namespace

const std::vector<CommandEntry>& CommandTable() {
    static const std::vector<CommandEntry> table = MakeTable();
    return table;
}

const CommandEntry* FindCommand(std::string_view name) {
    const auto& table = CommandTable();
    const auto found = std::find_if(table.begin(), table.end(), [name](const CommandEntry& entry) {
        return entry.name == name;
    });
    return found == table.end() ? nullptr : &*found;
}

std::span<const OptionRule> CommonOptions() {
    return kCommon;
}

std::span<const OptionRule> ProgramOptions() {
    return kProgram;
}

bool IsGlobalOption(const OptionRule& option) {
    return option.name == "verbose" || option.name == "quiet" || option.name == "password-file" ||
           option.name == "trace";
}

std::string_view ProgramIntroduction() {
    return kIntroduction;
}

const std::string& ProgramClosing() {
    static const std::string closing = MakeClosing();
    return closing;
}

}  // namespace zorvik::cli
