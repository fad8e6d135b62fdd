// The misbehaving server over plain sockets.
#include "tests/support/HostileServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace zorvik::testing {

namespace {

constexpr std::size_t kFloodBlock = 64 * 1024;  // bytes handed to the connection at a time
constexpr int kLookMs = 50;                     // between looks at the stop flag

}  // namespace

HostileServer::HostileServer(Serve serve) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, serve = std::move(serve)] {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            serve(fd, stop_);
            ::close(fd);
        }
    });
}

HostileServer::~HostileServer() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);  // ends an accept still waiting
    if (thread_.joinable()) {
        thread_.join();
    }
    ::close(listener_);
}

std::string HostileServer::Address(const std::string& scheme) const {
    return port_ == 0 ? std::string() : scheme + "127.0.0.1:" + std::to_string(port_);
}

HostileServer::Serve HostileServer::Flood(std::vector<std::uint8_t> first,
                                          std::vector<std::uint8_t> bytes) {
    return [first = std::move(first), bytes = std::move(bytes)](int fd,
                                                                const std::atomic<bool>& stop) {
        (void)!::send(fd, first.data(), first.size(), MSG_NOSIGNAL);
        std::vector<std::uint8_t> block;
        while (!bytes.empty() && block.size() < kFloodBlock) {
            block.insert(block.end(), bytes.begin(), bytes.end());
        }
        char sink[4096];
        while (!stop) {
            pollfd both{fd, static_cast<short>(POLLIN | (block.empty() ? 0 : POLLOUT)), 0};
            if (::poll(&both, 1, kLookMs) < 0 || (both.revents & (POLLERR | POLLHUP)) != 0) {
                return;
            }
            if ((both.revents & POLLIN) != 0 && ::recv(fd, sink, sizeof sink, MSG_DONTWAIT) == 0) {
                return;  // the client went
            }
            if ((both.revents & POLLOUT) != 0 &&
                ::send(fd, block.data(), block.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0 &&
                errno != EAGAIN) {
                return;
            }
        }
    };
}

}  // namespace zorvik::testing
