// A network serial server that misbehaves on purpose, on a free loopback port: the tests and the
// memory bench run the network port against it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace zorvik::testing {

class HostileServer {
public:
    // Runs on the accepted connection until the client goes or the server is destroyed.
    using Serve = std::function<void(int fd, const std::atomic<bool>& stop)>;

    // Accepts one connection and runs `serve` on it in a thread of its own.
    explicit HostileServer(Serve serve);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    // "rfc2217://127.0.0.1:PORT" for the scheme "rfc2217://"; empty when no port could be had.
    [[nodiscard]] std::string Address(const std::string& scheme) const;

    // Sends `first`, then `bytes` over and over as fast as the client takes them, until it goes
    // or `stop`; what the client says is read and dropped.
    [[nodiscard]] static Serve Flood(std::vector<std::uint8_t> first,
                                     std::vector<std::uint8_t> bytes);

private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

}  // namespace zorvik::testing
