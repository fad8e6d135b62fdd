// Who holds a port on Windows: the system does not tell another user's program which process
// has a port open, so a busy port is reported without its holder.
#include "serial/PortHolder.h"

namespace zorvik {

std::optional<PortHolder> FindPortHolder(const std::string& /*device*/,
                                         const std::string& /*procRoot*/) {
    return std::nullopt;
}

}  // namespace zorvik
