// A throw-away folder standing in for /dev, /sys and the user's port folder, and a map over it.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "link/PortMap.h"

namespace zorvik::testing {

class TempTree {
public:
    TempTree() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorvik-link-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
        }
        root_ = pattern;
        std::filesystem::create_directories(Dev());
        std::filesystem::create_directories(Sys() + "/class/tty");
        std::filesystem::create_directory(Links());
        ::chmod(Links().c_str(), 0700);
    }
    ~TempTree() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    [[nodiscard]] const std::string& Root() const { return root_; }
    [[nodiscard]] std::string Dev() const { return root_ + "/dev"; }
    [[nodiscard]] std::string Sys() const { return root_ + "/sys"; }
    [[nodiscard]] std::string Links() const { return root_ + "/links"; }
    [[nodiscard]] PortMap Map() const { return PortMap(PortMap::Roots{Dev(), Sys(), Links()}); }

    // `path` (relative to the root) becomes a link to `target`.
    void Link(const std::string& path, const std::string& target) const {
        std::filesystem::create_symlink(target, root_ + "/" + path);
    }
    void Write(const std::string& path, const std::string& content) const {
        const std::filesystem::path full = root_ + "/" + path;
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
    std::string root_;
};

}  // namespace zorvik::testing
