// The network serial port: TCP to a serial server, raw or with RFC 2217 serial-port control.
#include "serial/NetworkPort.h"

#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <thread>
#include <utility>

namespace zorvik {

namespace {

using namespace telnet;

// The device's line: 57600 baud (four bytes, network order), 8 data bits.
constexpr std::array<std::uint8_t, 4> kBaudBytes{0x00, 0x00, 0xE1, 0x00};
constexpr std::uint8_t kDataBits = 8;

constexpr int kSendQueuePollMicros = 200;  // between looks at what the server has not taken
constexpr std::size_t kReceiveChunk = 4096;

// The options this client takes up when the server asks for them, both ways.
constexpr std::array<std::uint8_t, 3> kOwnOptions{kOptBinary, kOptSuppressGoAhead, kOptComPort};
constexpr std::array<std::uint8_t, 2> kServerOptions{kOptBinary, kOptSuppressGoAhead};

template <typename List>
bool Contains(const List& list, std::uint8_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

void Remove(std::vector<std::uint8_t>& list, std::uint8_t value) {
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

// The errors with which the kernel says a connection went away.
bool ConnectionGone(int error) {
    return error == ECONNRESET || error == EPIPE || error == ENOTCONN || error == ETIMEDOUT ||
           error == EHOSTUNREACH || error == ENETUNREACH || error == ECONNABORTED;
}

}  // namespace

std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text) {
    NetworkAddress address{};
    if (text.starts_with(kRfc2217Scheme)) {
        address.protocol = NetworkAddress::Protocol::Rfc2217;
        text.remove_prefix(kRfc2217Scheme.size());
    } else if (text.starts_with(kRawSocketScheme)) {
        address.protocol = NetworkAddress::Protocol::RawSocket;
        text.remove_prefix(kRawSocketScheme.size());
    } else {
        return std::nullopt;
    }
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view host = text.substr(0, colon);
    const std::string_view service = text.substr(colon + 1);
    if (host.starts_with('[')) {
        if (!host.ends_with(']') || host.size() < 3) {
            return std::nullopt;
        }
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string_view::npos) {
        return std::nullopt;  // an IPv6 address goes in brackets
    }
    const bool hostOk = !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_' || c == ':' || c == '%';
    });
    int number = 0;
    const auto [end, ec] = std::from_chars(service.data(), service.data() + service.size(), number);
    if (!hostOk || service.empty() || service.front() == '0' || ec != std::errc{} ||
        end != service.data() + service.size() || number < 1 || number > 65535) {
        return std::nullopt;
    }
    address.host = std::string(host);
    address.service = std::string(service);
    return address;
}

NetworkLine::NetworkLine(NetworkAddress address, std::string text)
    : address_(std::move(address)),
      text_(std::move(text)),
      rfc2217_(address_.protocol == NetworkAddress::Protocol::Rfc2217) {
    const auto deadline = LineClock::now() + std::chrono::milliseconds(kNetworkConnectMs);
    try {
        Connect(deadline);
        if (rfc2217_) {
            Negotiate(deadline);
        }
    } catch (...) {
        Shut();
        throw;
    }
}

NetworkLine::~NetworkLine() {
    try {
        Close();
    } catch (const EComPort&) {
        // The connection is gone all the same.
    }
}

EComPort NetworkLine::Error(int code, int error) const {
    EComPort failure(code, error);
    failure.SetAddress(text_);
    return failure;
}

void NetworkLine::Connect(LineClock::time_point deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int lookup =
        ::getaddrinfo(address_.host.c_str(), address_.service.c_str(), &hints, &found);
    if (lookup != 0) {
        throw Error(kErrOpen, lookup == EAI_SYSTEM && errno != 0 ? errno : ENXIO);
    }
    int lastError = ETIMEDOUT;
    for (const addrinfo* each = found; each != nullptr && fd_ < 0; each = each->ai_next) {
        const int fd = ::socket(each->ai_family, each->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                each->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        int error = 0;
        if (::connect(fd, each->ai_addr, each->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                pollfd done{fd, POLLOUT, 0};
                int ready = 0;
                while ((ready = ::poll(&done, 1, MsLeft(deadline))) < 0 && errno == EINTR) {
                }
                socklen_t size = sizeof error;
                if (ready <= 0) {
                    error = ETIMEDOUT;
                } else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
                    error = errno;
                }
            }
        }
        if (error != 0) {
            ::close(fd);
            lastError = error;
            continue;
        }
        fd_ = fd;
    }
    ::freeaddrinfo(found);
    if (fd_ < 0) {
        throw Error(kErrOpen, lastError);
    }
    // Every byte of the protocol is a question or an answer: none may wait for company.
    int on = 1;
    (void)::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void NetworkLine::Negotiate(LineClock::time_point deadline) {
    std::vector<std::uint8_t> offer;
    for (const std::uint8_t option : kOwnOptions) {
        const auto will = Negotiation(kWill, option);
        offer.insert(offer.end(), will.begin(), will.end());
        willSent_.push_back(option);
    }
    for (const std::uint8_t option : kServerOptions) {
        const auto ask = Negotiation(kDo, option);
        offer.insert(offer.end(), ask.begin(), ask.end());
        doSent_.push_back(option);
    }
    SendCommand(offer);

    // The server agrees to serial-port control before any setting is sent.
    while (!comPortAgreed_) {
        if (!Pump()) {
            throw Error(kErrOpen, ECONNRESET);
        }
        if (comPortRefused_) {
            throw Error(kErrSetCommState, EPROTONOSUPPORT);
        }
        if (comPortAgreed_) {
            break;
        }
        pollfd input{fd_, POLLIN, 0};
        if (::poll(&input, 1, MsLeft(deadline)) == 0 || LineClock::now() >= deadline) {
            throw Error(kErrOpen, ETIMEDOUT);
        }
    }

    std::vector<std::uint8_t> settings;
    const auto add = [&settings](std::uint8_t command, std::span<const std::uint8_t> value) {
        const auto bytes = ComPortCommand(command, value);
        settings.insert(settings.end(), bytes.begin(), bytes.end());
    };
    const auto one = [&add](std::uint8_t command, std::uint8_t value) {
        add(command, std::span<const std::uint8_t>(&value, 1));
    };
    add(kSetBaudRate, kBaudBytes);
    one(kSetDataSize, kDataBits);
    one(kSetParity, kParityNone);
    one(kSetStopSize, kStopBitsOne);
    one(kSetControl, kControlNoFlowControl);
    one(kSetControl, kControlDtrOff);
    one(kSetControl, kControlRtsOff);
    // Last: what the server passes on before its answer to the purge is stale, as a local port's
    // queue is when it opens. The answers are not waited for (a server may take tens of
    // milliseconds to set its line, which every command would pay); they are checked as they
    // come, and the device's banner cannot come before them.
    one(kPurgeData, kPurgeReceive);
    purged_ = false;
    SendCommand(settings);
}

bool NetworkLine::Pump() {
    if (peerClosed_) {
        return false;
    }
    std::vector<std::uint8_t> fresh;
    std::vector<Event> events;
    std::uint8_t chunk[kReceiveChunk];
    for (;;) {
        const ssize_t got = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
        if (got > 0) {
            const std::span<const std::uint8_t> bytes(chunk, static_cast<std::size_t>(got));
            if (rfc2217_) {
                decoder_.Feed(bytes, fresh, events);
            } else {
                fresh.insert(fresh.end(), bytes.begin(), bytes.end());
            }
            continue;
        }
        if (got == 0) {
            peerClosed_ = true;
            break;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            break;
        }
        if (ConnectionGone(errno)) {
            peerClosed_ = true;
            break;
        }
        throw Error(kErrReadFile, errno);
    }
    std::size_t stale = 0;
    for (const Event& event : events) {
        Answer(event);
        if (!purged_ && event.kind == Event::Kind::Subnegotiation && event.option == kOptComPort &&
            !event.payload.empty() && event.payload[0] == kPurgeData + kServerReplyOffset) {
            purged_ = true;
            stale = event.at;
        }
    }
    if (!purged_) {
        stale = fresh.size();
    }
    received_.insert(received_.end(), fresh.begin() + static_cast<std::ptrdiff_t>(stale),
                     fresh.end());
    return !peerClosed_;
}

void NetworkLine::Answer(const Event& event) {
    const std::uint8_t option = event.option;
    switch (event.kind) {
        case Event::Kind::Do:
            if (!Contains(kOwnOptions, option)) {
                SendCommand(Negotiation(kWont, option));
            } else if (!Contains(willSent_, option)) {
                willSent_.push_back(option);
                SendCommand(Negotiation(kWill, option));
            }
            comPortAgreed_ = comPortAgreed_ || option == kOptComPort;
            break;
        case Event::Kind::Dont:
            if (Contains(willSent_, option)) {
                Remove(willSent_, option);
                SendCommand(Negotiation(kWont, option));
            }
            comPortRefused_ = comPortRefused_ || option == kOptComPort;
            break;
        case Event::Kind::Will:
            if (!Contains(kServerOptions, option)) {
                SendCommand(Negotiation(kDont, option));
            } else if (!Contains(doSent_, option)) {
                doSent_.push_back(option);
                SendCommand(Negotiation(kDo, option));
            }
            break;
        case Event::Kind::Wont:
            if (Contains(doSent_, option)) {
                Remove(doSent_, option);
                SendCommand(Negotiation(kDont, option));
            }
            break;
        case Event::Kind::Subnegotiation:
            if (option == kOptComPort && !event.payload.empty()) {
                // The server answers each setting with the value it took.
                const std::vector<std::uint8_t> value(event.payload.begin() + 1,
                                                      event.payload.end());
                const std::uint8_t command = event.payload[0];
                const auto refused = [&](std::uint8_t asked, std::span<const std::uint8_t> want) {
                    return command == asked + kServerReplyOffset &&
                           !std::equal(value.begin(), value.end(), want.begin(), want.end());
                };
                settingsRefused_ = settingsRefused_ || refused(kSetBaudRate, kBaudBytes) ||
                                   refused(kSetDataSize, std::span(&kDataBits, 1)) ||
                                   refused(kSetParity, std::span(&kParityNone, 1)) ||
                                   refused(kSetStopSize, std::span(&kStopBitsOne, 1));
            }
            break;
    }
}

std::size_t NetworkLine::SendUntil(std::span<const std::uint8_t> bytes,
                                   LineClock::time_point deadline) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            if (ConnectionGone(errno)) {
                peerClosed_ = true;
                throw Error(kErrWriteFile, EIO);
            }
            throw Error(kErrWriteFile, errno);
        }
        pollfd room{fd_, POLLOUT, 0};
        if (::poll(&room, 1, MsLeft(deadline)) <= 0 || LineClock::now() >= deadline) {
            break;
        }
    }
    return done;
}

void NetworkLine::SendCommand(const std::vector<std::uint8_t>& bytes) {
    const auto deadline = WriteDeadline(0);
    if (SendUntil(bytes, deadline) < bytes.size()) {
        throw Error(kErrWriteFile, ETIMEDOUT);
    }
}

void NetworkLine::Shut() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void NetworkLine::Close() {
    if (fd_ < 0) {
        return;
    }
    // As a local port discards its input on closing (and its output after a write cut short),
    // the server is asked to; the answer is not waited for.
    if (rfc2217_ && !peerClosed_) {
        const std::uint8_t which = outputStuck_ ? kPurgeBoth : kPurgeReceive;
        const auto purge = ComPortCommand(kPurgeData, std::span<const std::uint8_t>(&which, 1));
        (void)::send(fd_, purge.data(), purge.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    Shut();
    received_.clear();
}

void NetworkLine::CheckSettings() const {
    if (settingsRefused_) {
        throw Error(kErrSetCommState, EINVAL);
    }
}

int NetworkLine::Write(const std::uint8_t* buffer, int count) {
    CheckSettings();
    if (peerClosed_) {
        throw Error(kErrWriteFile, EIO);
    }
    outputStuck_ = true;
    const std::span<const std::uint8_t> data(buffer, static_cast<std::size_t>(count));
    const std::vector<std::uint8_t> wire =
        rfc2217_ ? Escape(data) : std::vector<std::uint8_t>(data.begin(), data.end());
    const auto deadline = WriteDeadline(count);
    // The data bytes whose wire bytes all went out among the first `sent`.
    const auto dataBytesIn = [&](std::size_t sent) {
        int whole = 0;
        std::size_t at = 0;
        for (int i = 0; i < count; ++i) {
            at += (rfc2217_ && buffer[i] == kIac) ? 2 : 1;
            if (at > sent) {
                break;
            }
            ++whole;
        }
        return whole;
    };
    const std::size_t done = SendUntil(wire, deadline);
    if (done < wire.size()) {
        return dataBytesIn(done);  // cut short by the timeout: the smaller count, no error
    }
    // Like a local port, return once the bytes have left: here, once they are on the network.
    // Waiting for the server's acknowledgement instead would cost its delayed ACK (up to 40 ms)
    // on every write.
    for (;;) {
        int unsent = 0;
        if (::ioctl(fd_, SIOCOUTQNSD, &unsent) != 0 || unsent <= 0) {
            break;
        }
        if (LineClock::now() >= deadline) {
            return count;  // all handed to the connection; the server is slow to take them
        }
        std::this_thread::sleep_for(std::chrono::microseconds(kSendQueuePollMicros));
    }
    outputStuck_ = false;
    return count;
}

int NetworkLine::Read(std::uint8_t* buffer, int count) {
    const bool open = Pump();
    CheckSettings();
    if (received_.empty()) {
        if (!open) {
            throw Error(kErrReadFile, EIO);
        }
        return 0;
    }
    const auto take = std::min(received_.size(), static_cast<std::size_t>(count));
    std::copy_n(received_.begin(), take, buffer);
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(take));
    return static_cast<int>(take);
}

bool NetworkLine::WaitForInput(int timeoutMs) {
    const auto deadline = LineClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        const bool open = Pump();
        CheckSettings();
        if (!received_.empty()) {
            return true;
        }
        if (!open) {
            throw Error(kErrReadFile, EIO);
        }
        pollfd input{fd_, POLLIN, 0};
        const int ready = ::poll(&input, 1, MsLeft(deadline));
        if (ready < 0 && errno != EINTR) {
            throw Error(kErrReadFile, errno);
        }
        if (ready == 0) {
            return false;
        }
    }
}

}  // namespace zorvik
