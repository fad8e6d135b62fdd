// Reading the configurator's command line.
#include "app/ProgramArguments.h"

namespace zorvik {

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
