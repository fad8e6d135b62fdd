// TCP connections over Linux's sockets.
#include "serial/Socket.h"

#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace zorvik::tcp {

namespace {

// Looks `host` up with the system's resolver, giving up at `deadline`: the resolver itself may
// wait far longer for a silent name server. The lookup runs in a thread of its own, which finishes
// (and frees what it found) by itself when it is given up. EAI_AGAIN with nothing found when the
// deadline has passed.
int LookUp(const std::string& host, const std::string& service,
           std::chrono::steady_clock::time_point deadline, addrinfo*& found) {
    struct Lookup {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
        int result = EAI_AGAIN;
        int error = 0;
        addrinfo* found = nullptr;
    };
    const auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, service] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* answer = nullptr;
        const int result = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &answer);
        const int error = errno;
        const std::lock_guard lock(lookup->mutex);
        if (lookup->abandoned) {
            if (result == 0) {
                ::freeaddrinfo(answer);
            }
            return;
        }
        lookup->result = result;
        lookup->error = error;
        lookup->found = result == 0 ? answer : nullptr;
        lookup->finished = true;
        lookup->done.notify_one();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->done.wait_until(lock, deadline, [&lookup] { return lookup->finished; })) {
        lookup->abandoned = true;
        found = nullptr;
        return EAI_AGAIN;
    }
    errno = lookup->error;
    found = lookup->found;
    return lookup->result;
}

}  // namespace

Socket Connect(const std::string& host, const std::string& service,
               const std::function<int()>& msLeft, int& error) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(msLeft());
    addrinfo* found = nullptr;
    const int lookup = LookUp(host, service, deadline, found);
    if (lookup == EAI_AGAIN && found == nullptr && std::chrono::steady_clock::now() >= deadline) {
        error = ETIMEDOUT;
        return kNoSocket;
    }
    if (lookup != 0) {
        error = lookup == EAI_SYSTEM && errno != 0 ? errno : ENXIO;
        return kNoSocket;
    }
    int lastError = ETIMEDOUT;
    Socket connected = kNoSocket;
    for (const addrinfo* each = found; each != nullptr && connected < 0; each = each->ai_next) {
        const int fd = ::socket(each->ai_family, each->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                each->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        int failure = 0;
        if (::connect(fd, each->ai_addr, each->ai_addrlen) != 0) {
            failure = errno;
            if (failure == EINPROGRESS) {
                pollfd done{fd, POLLOUT, 0};
                int ready = 0;
                while ((ready = ::poll(&done, 1, msLeft())) < 0 && errno == EINTR) {
                }
                socklen_t size = sizeof failure;
                if (ready <= 0) {
                    failure = ETIMEDOUT;
                } else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &size) != 0) {
                    failure = errno;
                }
            }
        }
        if (failure != 0) {
            ::close(fd);
            lastError = failure;
            continue;
        }
        connected = fd;
    }
    ::freeaddrinfo(found);
    if (connected < 0) {
        error = lastError;
        return kNoSocket;
    }
    int on = 1;
    (void)::setsockopt(static_cast<int>(connected), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return connected;
}

long Receive(Socket socket, std::uint8_t* buffer, std::size_t size, int& error) {
    for (;;) {
        const ssize_t got = ::recv(static_cast<int>(socket), buffer, size, MSG_DONTWAIT);
        if (got >= 0) {
            return static_cast<long>(got);
        }
        if (errno != EINTR) {
            error = errno == EWOULDBLOCK ? EAGAIN : errno;
            return -1;
        }
    }
}

long Send(Socket socket, const std::uint8_t* bytes, std::size_t size, int& error) {
    for (;;) {
        const ssize_t sent =
            ::send(static_cast<int>(socket), bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent >= 0) {
            return static_cast<long>(sent);
        }
        if (errno != EINTR) {
            error = errno == EWOULDBLOCK ? EAGAIN : errno;
            return -1;
        }
    }
}

int Wait(Socket socket, bool output, int timeoutMs, int& error) {
    pollfd ready{static_cast<int>(socket), static_cast<short>(output ? POLLOUT : POLLIN), 0};
    const int count = ::poll(&ready, 1, timeoutMs);
    if (count < 0) {
        error = errno;
        return -1;
    }
    return count > 0 ? 1 : 0;
}

int Unsent(Socket socket) {
    int unsent = 0;
    return ::ioctl(static_cast<int>(socket), SIOCOUTQNSD, &unsent) == 0 ? unsent : 0;
}

void Close(Socket socket) noexcept {
    ::close(static_cast<int>(socket));
}

}  // namespace zorvik::tcp
