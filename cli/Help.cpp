// Help texts.
#include "cli/Help.h"

#include <array>
#include <utility>

namespace zorvik::cli {

namespace {

constexpr std::string_view kProgram = R"(Usage: zorvik-cli COMMAND [OPTION]... [ARGUMENT]...
Reads, writes and compares Zorvik GSM configurations, changes passwords and flashes firmware.

Every command talks to the device through the same exchange as the configurator's window;
nothing here needs a display.

Commands:
  ports [--json]              list the serial ports with their device paths
  detect                      find the port on which the device answers
  keys                        list every configuration key with the values it takes
  read -p PORT                read the configuration (as text, JSON or a .zvk file)
  write -p PORT FILE          write a configuration, then read it back and compare
  dump FILE                   print the settings of a configuration file
  diff A B                    print the settings that differ (A and B: files or -p PORT)
  passwd -p PORT              change the device's access password
  security -p PORT FILE       send the anti-theft settings from a text form
  flash -p PORT FIRMWARE.bin  program, verify and reset the device's firmware
  provision TEMPLATE --devices TABLE.csv -p PORT...
                              write a batch of devices on several ports at once
  convert IN OUT              turn a configuration form into another (.zvk, .json, text)
  support-report              describe this machine's serial side for a problem report

Options:
  -h, --help                  show this help; 'zorvik-cli COMMAND --help' (or 'zorvik-cli
                              help COMMAND') shows a command's
      --version               show the version
  -v, --verbose               (every command) show each step on standard error
  -q, --quiet                 (every command) no progress, confirmations or warnings

Ports:
  PORT is a COM name as the configurator's window lists it (COM1 to COM50; see
  'zorvik-cli ports'), a device path such as /dev/ttyUSB0 or /dev/serial/by-id/..., or
  the address of a serial server on another machine: rfc2217://HOST:PORT (RFC 2217, as
  ser2net speaks it) or socket://HOST:PORT (raw TCP).

Access password:
  Commands that talk to the device sign with its 4-character access password, taken from
  the first line of the file given with --password-file, else from the environment
  variable ZORVIK_PASSWORD, else the factory default 9466. It is never given on the command
  line. New passwords are typed on the terminal without echo, or read from standard input.

Output:
  Results go to standard output; progress and diagnostics go to standard error.

Byte trace:
  Every command that talks to the device takes --trace FILE (or the environment variable
  ZORVIK_TRACE=FILE): each byte written and read, with the time and the step of the
  exchange, is appended to FILE. Passwords are masked, so a trace can be mailed as it is;
  'zorvik-sim --replay FILE' plays the device's side of it back.

Exit status:
  0    success
  1    the configurations differ (diff)
  2    usage error
  3    the port cannot be opened
  4    no device: no Ready banner, no answer, or the line went away
  5    wrong password
  6    data error: bad checksum, short block, verification mismatch
  7    file error: a file cannot be read or written, or its content is not valid
  8    provision: at least one device failed (the report says which)
  130  interrupted by Ctrl-C
  143  stopped by SIGTERM, SIGHUP (a closed terminal) or SIGPIPE (a closed pipe)

See zorvik-cli(1) for the forms, the environment and examples.
)";

constexpr std::string_view kPorts = R"(Usage: zorvik-cli ports [--json]
Lists the serial ports present, by their COM names.

Each line gives the COM name, the device behind it, and its /dev/serial/by-id name where
there is one. The numbers are fixed: COM1-COM8 are /dev/ttyS0-7, COM9-COM24 /dev/ttyUSB0-15,
COM25-COM40 /dev/ttyACM0-15, COM41-COM50 links in the user's port folder.

Options:
      --json                  print a JSON array of {"name", "device", "by_id"} objects;
                              "by_id" is null where there is no such name
  -h, --help                  show this help
)";

constexpr std::string_view kDetect = R"(Usage: zorvik-cli detect [--all] [--json]
Finds the port on which the device answers and prints its COM name.

Searches COM1 to COM50 as the window's autodetection does: each present port is opened and
listened to for the device's Ready banner (about 0.8 s a port); nothing is sent. The search
stops at the first port that answers; with --all every present port is listened to and each
one that answers is printed. A port another program holds is reported as busy on standard
error. Exits with status 4 when no port answers.

Options:
      --all                   listen to every present port, not only up to the first answer
      --json                  print a JSON array of {"name", "device", "state"} objects, one
                              per port listened to; "state" is "ready", "silent", "busy" or
                              "unusable"
  -h, --help                  show this help
)";

constexpr std::string_view kKeys = R"(Usage: zorvik-cli keys
Lists every key of the configuration's text form with the values it takes.

One key a line, in the order of the image: the key, a tab, its values or range ("yes, no",
"1 to 48", "5 to 95 in steps of 5"). The unused bytes of the image come last, as one line
"reserved.OFFSET" with the offsets they may have.

Options:
      --trace FILE            append a byte trace of the exchange to FILE
  -h, --help                  show this help
)";

constexpr std::string_view kRead = R"(Usage: zorvik-cli read -p PORT [-o FILE] [--text | --json]
Reads the configuration from the device.

Without -o the settings are printed as text ("key = value" lines). With -o FILE they are
written to FILE: as the 256-byte image that the window opens when FILE ends in .zvk (or no
form is chosen), as text with --text or a name ending in .txt, as JSON with --json or a
name ending in .json. A .zvk name holds an image only: --text or --json with it is refused.
FILE's folder is checked before the device is read. A file is replaced only once the new one
is complete; a device, a named pipe or /dev/stdout is written into, and "-" is standard output.

Options:
  -p, --port PORT             the device's port: a COM name or a device path
  -o, --output FILE           write the configuration to FILE
      --text                  the text form
      --json                  the JSON form
      --password-file FILE    take the access password from FILE's first line
      --trace FILE            append a byte trace of the exchange to FILE
  -h, --help                  show this help
)";

constexpr std::string_view kWrite =
    R"(Usage: zorvik-cli write -p PORT FILE [--no-verify] [--merge] [--strict] [--dry-run]
                         [--backup FILE]
Writes a configuration to the device, then reads it back and compares.

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

Options:
  -p, --port PORT             the device's port: a COM name or a device path
      --no-verify             do not read the configuration back
      --merge                 keys left out keep the device's current values
      --strict                refuse settings the device will not hold (status 7)
      --dry-run               read the device and print what would change, as 'diff' does
                              ("-" the device's value, "+" the new one); send nothing
      --backup FILE           first read the device's configuration into FILE (a .zvk image,
                              or the text or JSON form for a .txt or .json name)
      --password-file FILE    take the access password from FILE's first line
      --trace FILE            append a byte trace of the exchange to FILE
  -h, --help                  show this help
)";

constexpr std::string_view kDump = R"(Usage: zorvik-cli dump FILE [--json]
Prints the settings of a configuration file.

FILE is a .zvk image, a text form or a JSON form ("-" for standard input). The settings are
printed as text ("key = value" lines, in the order of the image), or as JSON.

Options:
      --json                  the JSON form
  -h, --help                  show this help
)";

constexpr std::string_view kDiff = R"(Usage: zorvik-cli diff A B
Prints the settings that differ between two configurations, by key, with both values.

A and B are configuration files (a .zvk image, a text or a JSON form) or "-p PORT" for the
configuration the device holds. Each difference is printed as two lines, "-key = value of
A" and "+key = value of B". Exits with status 1 when the configurations differ and 0 when
they are the same, as diff(1) does.

Options:
  -p, --port PORT             read this side from the device on PORT
      --json                  print a JSON array of {"key", "a", "b"} objects
      --password-file FILE    take the access password from FILE's first line
      --trace FILE            append a byte trace of the exchange to FILE
  -h, --help                  show this help
)";

constexpr std::string_view kPasswd = R"(Usage: zorvik-cli passwd -p PORT [--new-password-stdin]
Changes the device's 4-character access password.

The new password is typed twice on the terminal without echo, or read from the first line
of standard input with --new-password-stdin; it is never given on the command line. The
current one comes from --password-file, ZORVIK_PASSWORD or the factory default 9466. After
the change the device answers only to the new password.

Options:
  -p, --port PORT             the device's port: a COM name or a device path
      --new-password-stdin    read the new password from standard input
      --password-file FILE    take the current access password from FILE's first line
      --trace FILE            append a byte trace of the exchange to FILE
  -h, --help                  show this help
)";

constexpr std::string_view kSecurity =
    R"(Usage: zorvik-cli security -p PORT FILE [--passwords-stdin]
Sends the anti-theft settings from a small text form.

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
on the second. They are never in the file or on the command line.

Options:
  -p, --port PORT             the device's port: a COM name or a device path
      --passwords-stdin       read the security passwords from standard input
      --password-file FILE    take the access password from FILE's first line
      --trace FILE            append a byte trace of the exchange to FILE
  -h, --help                  show this help
)";

constexpr std::string_view kFlash =
    R"(Usage: zorvik-cli flash -p PORT FIRMWARE.bin [--no-verify] [--no-reset]
Programs the device's firmware, reads it back to verify it, and resets the device.

FIRMWARE.bin is a whole number of 257-byte records, at least one, at most 61680 bytes; it is
read whole before anything is sent. Progress goes to standard error: a bar on a terminal, a
line every 10 % otherwise. Ctrl-C before programming begins changes nothing on the device;
once it has begun, a first Ctrl-C only warns, since stopping leaves the device without
complete firmware (SIGTERM stops at once). Any failure during programming says that the
firmware is incomplete and the device must be flashed again.

Options:
  -p, --port PORT             the device's port: a COM name or a device path
      --no-verify             do not read the firmware back
      --no-reset              do not reset the device at the end
      --trace FILE            append a byte trace of the exchange to FILE
  -h, --help                  show this help
)";

constexpr std::string_view kSupportReport =
    R"(Usage: zorvik-cli support-report [-o FILE] [--trace FILE]
Describes this machine's serial side, for a problem report: the program's version, the
system, the user's groups, the port folder, each present port (its device, by-id name,
kernel driver, USB vendor, product and serial, an FTDI adapter's latency timer and the
programs that hold it open), whether ModemManager or brltty runs, and a trace where given.

The report holds no passwords and no environment values. Attach it to a problem report.

Options:
  -o, --output FILE           write the report to FILE instead of standard output
      --trace FILE            include this byte trace (made with --trace) in the report
  -h, --help                  show this help
)";

constexpr std::string_view kProvision =
    R"(Usage: zorvik-cli provision TEMPLATE --devices TABLE.csv [-p PORT]... [--all-ports]
                           [--report REPORT.csv] [--watch] [--resume]
Writes TEMPLATE, with each row's own values, to the devices on every PORT at once.

TEMPLATE is any configuration form, as 'write' takes it. TABLE.csv has a header row: the
column 'id' names the device in the report (default: the row's number), 'password' is the
device's current access password, 'new_password' is set after the verified write, and every
other column is a key of the text form whose value replaces the template's. An empty cell
keeps the template's value. The whole table is checked before any port opens.

Each port takes the next row when a device answers on it, writes, reads back and compares,
then changes the access password where the row asks, and appends a line to the report.
A device that fails fails only its own row. Rows go to devices in the order the devices
answer: plug devices in the table's order when a row belongs to a particular device.

Options:
  -p, --port PORT             a port to work on; give it once per port
      --all-ports             every port present
      --devices TABLE.csv     the table of devices
      --report REPORT.csv     append a line per attempt (time,row,port,by_id,result,
                              exit_status,message,sha256)
      --resume                skip the rows that have an ok line in the report
      --watch                 a station: after each device, wait for it to go and for the
                              next one; a failed row goes to the next device. Ctrl-C lets
                              the current devices finish; a second Ctrl-C stops at once
      --password-file FILE    the access password of rows without one
  -h, --help                  show this help

Exit status: 0 when every attempt succeeded, 8 when a device failed.
)";

constexpr std::string_view kConvert = R"(Usage: zorvik-cli convert IN OUT
Turns a configuration form into another, chosen by OUT's name: .zvk an image, .json JSON,
anything else the text form. A .zvk holds the 256 bytes 'write' would send for IN.

Options:
  -h, --help                  show this help
)";

constexpr std::array<std::pair<std::string_view, std::string_view>, 13> kCommands = {{
    {"ports", kPorts},
    {"detect", kDetect},
    {"keys", kKeys},
    {"read", kRead},
    {"write", kWrite},
    {"dump", kDump},
    {"diff", kDiff},
    {"passwd", kPasswd},
    {"security", kSecurity},
    {"flash", kFlash},
    {"support-report", kSupportReport},
    {"provision", kProvision},
    {"convert", kConvert},
}};

}  // namespace

std::string_view ProgramHelp() {
    return kProgram;
}

std::string_view CommandHelp(std::string_view command) {
    for (const auto& [name, text] : kCommands) {
        if (name == command) {
            return text;
        }
    }
    return {};
}

}  // namespace zorvik::cli
