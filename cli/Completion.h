// The bash completion of zorvik-cli, made from the command table when the program is built.
#pragma once

#include <string>

namespace zorvik::cli {

// The completion script: commands, each command's options, COM names for -p (in any case), the
// history's record ids and sites, files where a command takes them. It uses bash-completion's
// helpers where bash-completion loaded it, and plain bash where it was sourced without them.
[[nodiscard]] std::string BashCompletion();

}  // namespace zorvik::cli
