// The zorvik-sim program run as a child process on a pty registered in a private port folder,
// stopped and its folder removed when the object goes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "serial/PortMap.h"

namespace zorvik::testing {

// This process's open descriptors, to show that a command or a port leaves none behind.
[[nodiscard]] int OpenDescriptors();

class SimProcess {
public:
    // Starts `program` with "--ports-dir <private folder>/ports" and `extra`, and waits for its
    // first line, "COM41 /dev/pts/N". On any failure Name() stays empty.
    explicit SimProcess(const std::string& program, const std::vector<std::string>& extra = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Sends SIGTERM and returns the exit status, or -1.
    int Stop();
    // Waits for the program to end by itself and returns its exit status, or -1.
    int Wait();

    [[nodiscard]] const std::string& Name() const { return name_; }
    [[nodiscard]] const std::string& PtyPath() const { return ptyPath_; }
    [[nodiscard]] const std::string& PortsDir() const { return portsDir_; }
    // What the program wrote to its standard error.
    [[nodiscard]] const std::string& LogPath() const { return logPath_; }
    [[nodiscard]] std::string LinkPath() const { return portsDir_ + "/" + name_; }
    [[nodiscard]] PortMap Map() const { return PortMap(PortMap::Roots{"/dev", "/sys", portsDir_}); }

private:
    pid_t pid_ = -1;
    std::string root_;
    std::string portsDir_;
    std::string logPath_;
    std::string name_;
    std::string ptyPath_;
};

}  // namespace zorvik::testing
