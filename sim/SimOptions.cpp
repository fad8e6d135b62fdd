// The command line of zorvik-sim: what it accepts and its help text.
#include "sim/SimOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

#include "serial/PortMap.h"

namespace zorvik {

namespace {

constexpr int kHighestPortNumber = 255;  // the largest "COMnn" there is
// The configurator finds linked ports only under these names; below them are real ports.

bool ParseInt(const std::string& text, int low, int high, int& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool ParseSeconds(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < 0) {
        return false;
    }
    value = parsed;
    return true;
}

// "banner", "auth", "transfer", "status", "page:K" or "verify:K" (K a page from 0).
bool ParsePullStepName(const std::string& text, PullStep& step, int& page) {
    static const std::map<std::string, PullStep> kSteps = {
        {"banner", PullStep::Banner},
        {"auth", PullStep::AuthBlock},
        {"transfer", PullStep::Transfer},
        {"status", PullStep::TransferStatus},
    };
    if (const auto found = kSteps.find(text); found != kSteps.end()) {
        step = found->second;
        return true;
    }
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string kind = text.substr(0, colon);
    if (kind != "page" && kind != "verify") {
        return false;
    }
    if (!ParseInt(text.substr(colon + 1), 0, kFlashPages - 1, page)) {
        return false;
    }
    step = kind == "page" ? PullStep::ProgramPage : PullStep::VerifyPage;
    return true;
}

constexpr int kMostPullCount = 1000;  // "auth#N": a count beyond any test's exchanges

// A step, optionally followed by "#N": the Nth exchange that reaches it (from 1).
bool ParsePullStep(const std::string& text, DeviceFaults& faults) {
    const auto hash = text.find('#');
    faults.pullCount = 1;
    if (hash != std::string::npos &&
        !ParseInt(text.substr(hash + 1), 1, kMostPullCount, faults.pullCount)) {
        return false;
    }
    return ParsePullStepName(text.substr(0, hash), faults.pullAt, faults.pullPage);
}

}  // namespace

bool IsComPortName(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0 || name[3] == '0') {
        return false;
    }
    int number = 0;
    return ParseInt(name.substr(3), 1, kHighestPortNumber, number) &&
           name.find_first_not_of("0123456789", 3) == std::string::npos;
}

std::string SimUsage() {
    return R"(Usage: zorvik-sim [options]
Simulates a Zorvik GSM device on a pseudo-terminal registered as a COM port.
Prints the port name and the pty path on one line, then logs each exchange to stderr.

Port and program:
  --port COMnn                 register under this name, COM41 to COM50
                               (default: the first free one)
  --ports-dir DIR              port folder (default: $XDG_RUNTIME_DIR/zorvik-gsm/ports,
                               else /tmp/zorvik-gsm-<uid>/ports)
  --no-pacing                  send at once instead of at 57600 baud
  --verbose                    also log every byte
  --unplug-after SECONDS|STEP  close the line after this long, as if unplugged, or at
                               a step of the first exchange that reaches it: banner (as
                               soon as the host opens the port), auth (the authentication
                               block has arrived), transfer (half way through the
                               257-byte block), status (a written block has arrived,
                               before its reply), page:K (half way through programming
                               page K, from 0), verify:K (the host asks for page K back);
                               STEP#N pulls at the Nth exchange that reaches the step
                               (auth#2: the second authentication block)
  --password XXXX              initial access password (default 9466)
  --password-file FILE         the same, from the first line of FILE, out of sight of
                               other users' process lists
  --image FILE                 initial configuration image (256 bytes)
  --firmware-in FILE           initial flash contents (at most 61680 bytes)
  --firmware-out FILE          after each firmware update, write the pages programmed
  --latency-report FILE        after each firmware update, write one line per request
                               letter: the letter and the microseconds from its write
                               to the host's next byte
  --replay FILE                play the device's side of a byte trace (zorvik-cli --trace):
                               wait for the host's bytes, answer as the traced device did
  --banner-free-running        send "Ready" every 500 ms on the device's own clock, whether
                               or not the port is open, as a device on a three-wire cable
                               must (the port's opening is not seen, so QEMU and other
                               holders of the pty get banners too)
  --help                       show this text
  --version                    show the program's version

Faults:
  --no-banner                  never send "Ready"
  --banner-delay MS            first banner only this long after the port is opened
  --split-banner               first banner as "Rea", then "dy" 300 ms later
  --reject-password            answer every authentication block with "R"
  --silent-status              never answer the authentication block
  --noise-before-status        junk bytes before the status reply
  --bad-checksum-on-read       the image sent on a read has a wrong checksum
  --short-block-on-read        send only 200 of the 257 bytes on a read
  --write-reply O|E|R|none     reply to a written image or security record
  --firmware-reject-command    answer the programming command with "E"
  --firmware-error-after-page K   "E" after page K (from 0) instead of the next request
  --firmware-stray-letters     stray letters between the requests
  --firmware-silent-after-page K  fall silent after page K
  --firmware-no-verify-banner  no "Ready" before verification
  --firmware-corrupt-page K    read-back of page K differs in one byte
  --firmware-erase-ms MS       the erase before the first page request takes MS
  --block-delay-ms MS          every block sent (the image on a read, each page read
                               back in verification) starts MS later
)";
}

SimOptionsResult ParseSimOptions(const std::vector<std::string>& args) {
    SimOptions options;
    DeviceFaults& faults = options.faults;
    const std::map<std::string, std::function<void()>> switches = {
        {"--no-pacing", [&] { options.pacing = false; }},
        {"--verbose", [&] { options.verbose = true; }},
        {"--help", [&] { options.help = true; }},
        {"--version", [&] { options.version = true; }},
        {"--no-banner", [&] { faults.noBanner = true; }},
        {"--banner-free-running", [&] { faults.bannerFreeRunning = true; }},
        {"--split-banner", [&] { faults.splitBanner = true; }},
        {"--reject-password", [&] { faults.rejectPassword = true; }},
        {"--silent-status", [&] { faults.silentStatus = true; }},
        {"--noise-before-status", [&] { faults.noiseBeforeStatus = true; }},
        {"--bad-checksum-on-read", [&] { faults.badChecksumOnRead = true; }},
        {"--short-block-on-read", [&] { faults.shortBlockOnRead = true; }},
        {"--firmware-reject-command", [&] { faults.firmwareRejectCommand = true; }},
        {"--firmware-stray-letters", [&] { faults.firmwareStrayLetters = true; }},
        {"--firmware-no-verify-banner", [&] { faults.firmwareNoVerifyBanner = true; }},
    };
    // Options with a value; each returns false when the value is not acceptable.
    const std::map<std::string, std::function<bool(const std::string&)>> valued = {
        {"--port",
         [&](const std::string& v) {
             options.port = v;
             int number = 0;
             return IsComPortName(v) &&
                    ParseInt(v.substr(3), kFirstLinkedPort, kLastLinkedPort, number);
         }},
        {"--ports-dir",
         [&](const std::string& v) {
             options.portsDir = v;
             return !v.empty();
         }},
        {"--unplug-after",
         [&](const std::string& v) {
             double seconds = 0;
             if (ParseSeconds(v, seconds)) {
                 options.unplugAfterSeconds = seconds;
                 return true;
             }
             return ParsePullStep(v, faults);
         }},
        {"--password",
         [&](const std::string& v) {
             options.password.assign(v.begin(), v.end());
             return v.size() == 4;
         }},
        {"--password-file",
         [&](const std::string& v) {
             options.passwordFile = v;
             return !v.empty();
         }},
        {"--image",
         [&](const std::string& v) {
             options.imageIn = v;
             return !v.empty();
         }},
        {"--firmware-in",
         [&](const std::string& v) {
             options.firmwareIn = v;
             return !v.empty();
         }},
        {"--firmware-out",
         [&](const std::string& v) {
             options.firmwareOut = v;
             return !v.empty();
         }},
        {"--replay",
         [&](const std::string& v) {
             options.replayFile = v;
             return !v.empty();
         }},
        {"--latency-report",
         [&](const std::string& v) {
             options.latencyReport = v;
             return !v.empty();
         }},
        {"--firmware-erase-ms",
         [&](const std::string& v) { return ParseInt(v, 0, 3'600'000, faults.firmwareEraseMs); }},
        {"--block-delay-ms",
         [&](const std::string& v) { return ParseInt(v, 0, 3'600'000, faults.blockDelayMs); }},
        {"--banner-delay",
         [&](const std::string& v) { return ParseInt(v, 0, 3'600'000, faults.bannerDelayMs); }},
        {"--write-reply",
         [&](const std::string& v) {
             if (v == "none") {
                 faults.writeReply = 0;
                 return true;
             }
             faults.writeReply = v.empty() ? '?' : v[0];
             return v == "O" || v == "E" || v == "R";
         }},
        {"--firmware-error-after-page",
         [&](const std::string& v) {
             return ParseInt(v, 0, kFlashPages - 1, faults.firmwareErrorAfterPage);
         }},
        {"--firmware-silent-after-page",
         [&](const std::string& v) {
             return ParseInt(v, 0, kFlashPages - 1, faults.firmwareSilentAfterPage);
         }},
        {"--firmware-corrupt-page",
         [&](const std::string& v) {
             return ParseInt(v, 0, kFlashPages - 1, faults.firmwareCorruptPage);
         }},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (const auto found = switches.find(arg); found != switches.end()) {
            found->second();
            continue;
        }
        const auto found = valued.find(arg);
        if (found == valued.end()) {
            return {std::nullopt, "unknown option: " + arg};
        }
        if (i + 1 >= args.size()) {
            return {std::nullopt, arg + " needs a value"};
        }
        const std::string& value = args[++i];
        if (!found->second(value)) {
            return {std::nullopt, "bad value for " + arg + ": " + value};
        }
    }
    return {options, ""};
}

}  // namespace zorvik
