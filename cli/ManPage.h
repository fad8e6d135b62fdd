// The generated part of zorvik-cli's manual page, made from the command table when the program is
// built; the sections written by hand (ports, forms, exit status, environment, examples) follow
// it from a file of their own.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::cli {

// The page's header, NAME, SYNOPSIS, DESCRIPTION, COMMANDS and OPTIONS, in roff. `date` is the
// page's date as the header shows it.
[[nodiscard]] std::string ManPageHead(std::string_view date);

}  // namespace zorvik::cli
