// Reading the configurator's command line.
#include "form/ProgramArguments.h"

namespace zorvik {

const char* const kProgramUsage = R"(Usage: zorvik-gsm [--trace FILE] [--help | --version] [FILE]
Configures a Zorvik GSM device over a serial cable: reads its configuration, shows it on three
pages, writes it back, keeps it in .zvk files, changes its access password, sends its anti-theft
settings, finds the port it is connected to and updates its firmware.

FILE, a configuration file (.zvk), is opened once the window is shown, as "Plik" > "Otwórz"
opens it. A .zvk file can also be dragged onto the window. The window keeps no settings between
runs.

Options:
  --trace FILE  append a byte trace of each command's exchange with the device to FILE
                (also ZORVIK_TRACE=FILE); passwords in it are masked
  --help        show this text and exit
  --version     show the program's version and exit
  --            take what follows as FILE, even when it starts with "-"
)";

ProgramArguments ReadProgramArguments(const std::vector<std::string>& arguments) {
    ProgramArguments read;
    bool options = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "--help") {
            read.help = true;
        } else if (options && argument == "--version") {
            read.version = true;
        } else if (options && argument == "--trace") {
            if (i + 1 < arguments.size()) {
                read.trace = arguments[++i];
            } else if (read.error.empty()) {
                read.error = "--trace needs a file name";
            }
        } else if (options && argument.size() > 1 && argument.front() == '-') {
            // Refused rather than taken for a file: a mistyped option opens nothing by surprise.
            if (read.error.empty()) {
                read.error = "unknown option: " + argument;
            }
        } else if (read.file) {
            if (read.error.empty()) {
                read.error = "one configuration file at most, not also " + argument;
            }
        } else {
            read.file = argument;
        }
    }
    return read;
}

}  // namespace zorvik
