// zorvik-sim: a simulated Zorvik GSM device on a pseudo-terminal, for trying the configurator.
#include <iostream>
#include <string>
#include <vector>

#include "Version.h"
#include "sim/PtySimulator.h"
#include "sim/SimOptions.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const zorvik::SimOptionsResult parsed = zorvik::ParseSimOptions(args);
    if (!parsed.options) {
        std::cerr << "zorvik-sim: " << parsed.error
                  << "\nTry 'zorvik-sim --help' for more information.\n";
        return 2;
    }
    if (parsed.options->help) {
        std::cout << zorvik::SimUsage();
        return 0;
    }
    if (parsed.options->version) {
        std::cout << "zorvik-sim " << zorvik::kVersion << '\n';
        return 0;
    }
    return zorvik::RunSimulator(*parsed.options, std::cout, std::cerr);
}
