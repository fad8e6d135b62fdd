// Presets: small text or JSON forms laid one after another over a configuration, as a base, a
// region and a site, each giving only the keys it is about.
#pragma once

#include <string>
#include <vector>

#include "config/Configuration.h"

namespace zorvik::cli {

// `start` with each preset at `paths` applied in turn. A key that two presets give is refused
// (CliError, status 7, naming both files and the key) unless `laterWins`. A preset that cannot
// be read, is an image, is UTF-16, gives no setting or holds a bad setting raises CliError
// (status 7) too; every preset is read and checked before any is applied.
[[nodiscard]] Configuration ApplyPresets(const Configuration& start,
                                         const std::vector<std::string>& paths, bool laterWins);

}  // namespace zorvik::cli
