// A throw-away folder standing in for /dev, /sys and the user's port folder, and a map over it.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "serial/PortMap.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {

class TempTree {
public:
    TempTree() {
        if (!folder_.IsValid()) {
            return;  // already reported; nothing outside a folder of our own is touched
        }
        std::filesystem::create_directories(Dev());
        std::filesystem::create_directories(Sys() + "/class/tty");
        std::filesystem::create_directory(Links());
        ::chmod(Links().c_str(), 0700);
    }

    [[nodiscard]] const std::string& Root() const { return folder_.Root(); }
    [[nodiscard]] std::string Dev() const { return Root() + "/dev"; }
    [[nodiscard]] std::string Sys() const { return Root() + "/sys"; }
    [[nodiscard]] std::string Links() const { return Root() + "/links"; }
    [[nodiscard]] PortMap Map() const { return PortMap(PortMap::Roots{Dev(), Sys(), Links()}); }

    // `path` (relative to the root) becomes a link to `target`.
    void Link(const std::string& path, const std::string& target) const {
        std::filesystem::create_symlink(target, Root() + "/" + path);
    }
    void Write(const std::string& path, const std::string& content) const {
        const std::filesystem::path full = Root() + "/" + path;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full) << content;
    }
    // A UART slot ttyS<index> whose node leads to `node` and whose sysfs type is `type`.
    void Uart(int index, const std::string& node, const std::string& type) const {
        const std::string name = "ttyS" + std::to_string(index);
        Link("dev/" + name, node);
        Write("sys/class/tty/" + name + "/type", type);
    }

private:
    TempFolder folder_;
};

}  // namespace zorvik::testing
