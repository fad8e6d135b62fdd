// The user's port folder: links named "COMnn" to the terminals that stand in for serial ports.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace zorvik {

// Raised when the folder or a link in it cannot be made.
class EPortFolder : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// $XDG_RUNTIME_DIR/zorvik-gsm/ports when that variable holds an absolute path, else
// /tmp/zorvik-gsm-<uid>/ports.
[[nodiscard]] std::string DefaultPortsDir();

// Creates the folder and its missing parents (private to the user). Raises EPortFolder when it
// cannot, or when a folder of ours under /tmp is a link or belongs to someone else.
void EnsurePortsDir(const std::string& dir);

// Links `target` under `wanted` ("COMnn"), or under the first free name from COM41 when `wanted`
// is empty, and returns the name. A link whose target no longer exists is free. Raises
// EPortFolder when the name is taken or no name is free.
[[nodiscard]] std::string RegisterPort(const std::string& dir, const std::string& wanted,
                                       const std::string& target);

// Removes every link in `dir` that points to `target`: a simulator that was killed leaves its
// link behind, and pseudo-terminal numbers are reused. Returns the names removed; never raises.
std::vector<std::string> RemoveLinksTo(const std::string& dir, const std::string& target);

// Removes the link `name` if it still points to `target`; never raises.
void UnregisterPort(const std::string& dir, const std::string& name, const std::string& target);

}  // namespace zorvik
