// TCP connections over Winsock.
#include "serial/Socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cerrno>

namespace zorvik::tcp {

namespace {

// Winsock's numbers as the errno numbers the network port classifies.
int Translated(int error) {
    switch (error) {
        case WSAEWOULDBLOCK:
            return EAGAIN;
        case WSAEINTR:
            return EINTR;
        case WSAEINPROGRESS:
            return EINPROGRESS;
        case WSAECONNREFUSED:
            return ECONNREFUSED;
        case WSAETIMEDOUT:
            return ETIMEDOUT;
        case WSAECONNRESET:
            return ECONNRESET;
        case WSAECONNABORTED:
            return ECONNABORTED;
        case WSAENOTCONN:
            return ENOTCONN;
        case WSAESHUTDOWN:
            return EPIPE;
        case WSAEHOSTUNREACH:
            return EHOSTUNREACH;
        case WSAENETUNREACH:
        case WSAENETDOWN:
            return ENETUNREACH;
        default:
            return EIO;
    }
}

int LastError() {
    return Translated(::WSAGetLastError());
}

// Winsock is started once, on the first connection, and left to the end of the process.
bool Started() {
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

// select() rather than WSAPoll, which on older Windows does not report a refused connection.
int Ready(SOCKET socket, bool output, int timeoutMs, int& error) {
    fd_set wanted;
    fd_set failed;
    FD_ZERO(&wanted);
    FD_ZERO(&failed);
    FD_SET(socket, &wanted);
    FD_SET(socket, &failed);
    timeval limit{timeoutMs / 1000, timeoutMs % 1000 * 1000};
    const int count = ::select(0, output ? nullptr : &wanted, output ? &wanted : nullptr,
                               output ? &failed : nullptr, &limit);
    if (count == SOCKET_ERROR) {
        error = LastError();
        return -1;
    }
    return count > 0 ? 1 : 0;
}

}  // namespace

Socket Connect(const std::string& host, const std::string& service,
               const std::function<int()>& msLeft, int& error) {
    if (!Started()) {
        error = ENETUNREACH;
        return kNoSocket;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
        error = ENXIO;
        return kNoSocket;
    }
    int lastError = ETIMEDOUT;
    SOCKET connected = INVALID_SOCKET;
    for (const addrinfo* each = found; each != nullptr && connected == INVALID_SOCKET;
         each = each->ai_next) {
        const SOCKET socket = ::socket(each->ai_family, each->ai_socktype, each->ai_protocol);
        if (socket == INVALID_SOCKET) {
            lastError = LastError();
            continue;
        }
        u_long nonBlocking = 1;
        int failure = 0;
        if (::ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
            failure = LastError();
        } else if (::connect(socket, each->ai_addr, static_cast<int>(each->ai_addrlen)) != 0) {
            failure = LastError();
            if (failure == EAGAIN || failure == EINPROGRESS) {
                const int ready = Ready(socket, true, msLeft(), failure);
                int size = sizeof failure;
                if (ready == 0) {
                    failure = ETIMEDOUT;
                } else if (ready > 0 &&
                           ::getsockopt(socket, SOL_SOCKET, SO_ERROR,
                                        reinterpret_cast<char*>(&failure), &size) != 0) {
                    failure = LastError();
                } else if (ready > 0) {
                    failure = failure == 0 ? 0 : Translated(failure);
                }
            }
        }
        if (failure != 0) {
            ::closesocket(socket);
            lastError = failure;
            continue;
        }
        connected = socket;
    }
    ::freeaddrinfo(found);
    if (connected == INVALID_SOCKET) {
        error = lastError;
        return kNoSocket;
    }
    BOOL on = TRUE;
    (void)::setsockopt(connected, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                       sizeof on);
    return static_cast<Socket>(connected);
}

long Receive(Socket socket, std::uint8_t* buffer, std::size_t size, int& error) {
    const int got = ::recv(static_cast<SOCKET>(socket), reinterpret_cast<char*>(buffer),
                           static_cast<int>(size), 0);
    if (got == SOCKET_ERROR) {
        error = LastError();
        return -1;
    }
    return got;
}

long Send(Socket socket, const std::uint8_t* bytes, std::size_t size, int& error) {
    const int sent = ::send(static_cast<SOCKET>(socket), reinterpret_cast<const char*>(bytes),
                            static_cast<int>(size), 0);
    if (sent == SOCKET_ERROR) {
        error = LastError();
        return -1;
    }
    return sent;
}

int Wait(Socket socket, bool output, int timeoutMs, int& error) {
    return Ready(static_cast<SOCKET>(socket), output, timeoutMs, error);
}

int Unsent(Socket /*socket*/) {
    return 0;  // Winsock does not say; a send returns once the system holds the bytes
}

void Close(Socket socket) noexcept {
    ::closesocket(static_cast<SOCKET>(socket));
}

}  // namespace zorvik::tcp
