// Entry of zorvik-cli, the configurator without a window.
#include "cli/Cli.h"

int main(int argc, char** argv) {
    return zorvik::cli::Main(argc, argv);
}
