// The zorvik-cli program: the command line read, the command run, its outcome worded and its exit
// status returned.
#pragma once

namespace zorvik::cli {

[[nodiscard]] int Main(int argc, char** argv);

}  // namespace zorvik::cli
