// Debian's serial-over-network server, ser2net, run as a child process on a free loopback port
// in front of a pty, with a configuration of its own; stopped when the object goes.
#pragma once

#include <sys/types.h>

#include <string>

namespace zorvik::testing {

class Ser2net {
public:
    enum class Protocol { Rfc2217, Raw };

    // The ser2net program, or empty when it is not installed.
    [[nodiscard]] static std::string Program();

    // Serves `device` at 57600 8N1. On any failure Address() stays empty and Log() says why.
    Ser2net(const std::string& device, Protocol protocol);
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // "rfc2217://127.0.0.1:PORT" or "socket://127.0.0.1:PORT".
    [[nodiscard]] const std::string& Address() const { return address_; }
    // What the server wrote, for a failing test's message.
    [[nodiscard]] std::string Log() const;

private:
    pid_t pid_ = -1;
    std::string root_;
    std::string address_;
    std::string why_;
};

// A TCP port on the loopback interface that nothing listens on now, or 0.
[[nodiscard]] int FreeLoopbackPort();

}  // namespace zorvik::testing
