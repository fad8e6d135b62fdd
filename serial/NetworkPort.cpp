// The network serial port: TCP to a serial server, raw or with RFC 2217 serial-port control.
#include "serial/NetworkPort.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <thread>
#include <utility>

#include "serial/Socket.h"

namespace zorvik {

namespace {

constexpr int kSendQueuePollMicros = 200;  // between looks at what the server has not taken
constexpr std::size_t kReceiveChunk = 4096;
// What one look at the connection takes at most, so that every wait gets back to its deadline
// however fast the server sends.
constexpr std::size_t kReceiveTurnBytes = 4 * kReceiveChunk;
// The most an exchange can use is a 257-byte block and a few banners. A server that sends far
// more than that without the host taking any of it (data, telnet commands or bytes before the
// purge's answer alike) is flooding the port, and the port gives up with its own error.
constexpr std::size_t kFloodBytes = 64 * 1024;

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
    : address_(std::move(address)), text_(std::move(text)) {
    const LineClock::time_point deadline =
        LineClock::now() + std::chrono::milliseconds(kNetworkConnectMs);
    if (address_.protocol == NetworkAddress::Protocol::Rfc2217) {
        session_.emplace();
    }
    try {
        Connect(deadline);
        if (session_) {
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
    int error = 0;
    socket_ = tcp::Connect(
        address_.host, address_.service, [deadline] { return MsLeft(deadline); }, error);
    if (socket_ == tcp::kNoSocket) {
        throw Error(kErrOpen, error);
    }
}

void NetworkLine::Negotiate(LineClock::time_point deadline) {
    SendCommand(session_->Offer());

    // The server agrees to serial-port control before any setting is sent.
    while (!session_->ComPortAgreed()) {
        if (!Pump()) {
            throw Error(kErrOpen, ECONNRESET);
        }
        if (session_->ComPortRefused()) {
            throw Error(kErrSetCommState, EPROTONOSUPPORT);
        }
        if (session_->ComPortAgreed()) {
            break;
        }
        // Connected, but no word on serial-port control: a server that does not speak it (a
        // plain telnet port, ser2net without remctl) ignores the question.
        int error = 0;
        if (tcp::Wait(socket_, false, MsLeft(deadline), error) == 0 ||
            LineClock::now() >= deadline) {
            throw Error(kErrSetCommState, ETIMEDOUT);
        }
    }

    SendCommand(session_->Settings());

    // A server may open its device only now, and pass on at once what the device had queued
    // long before, after answering any purge sent with the settings: a banner that old, taken
    // as fresh, puts the command byte on the device's next banner, whose "R" then reads as a
    // refused password. So the purge waits for the answer to the baud rate (the device is open
    // and set); what the server passes on before the purge's answer is stale, as a local port's
    // queue is when it opens. The other answers are checked as they come.
    const LineClock::time_point lineSetBy =
        std::min(deadline, LineClock::now() + std::chrono::milliseconds(kNetworkLineSetMs));
    while (!session_->LineSet() && LineClock::now() < lineSetBy) {
        if (!Pump()) {
            throw Error(kErrOpen, ECONNRESET);
        }
        int error = 0;
        if (!session_->LineSet() && tcp::Wait(socket_, false, MsLeft(lineSetBy), error) < 0 &&
            error != EINTR) {
            throw Error(kErrOpen, error);
        }
    }
    SendCommand(telnet::Session::Purge(false));
}

bool NetworkLine::Pump() {
    if (peerClosed_) {
        return false;
    }
    std::vector<std::uint8_t> arrived;
    std::uint8_t chunk[kReceiveChunk];
    for (std::size_t taken = 0; taken < kReceiveTurnBytes;) {
        int error = 0;
        const long got = tcp::Receive(socket_, chunk, sizeof chunk, error);
        if (got > 0) {
            arrived.insert(arrived.end(), chunk, chunk + got);
            taken += static_cast<std::size_t>(got);
            unusedBytes_ += static_cast<std::size_t>(got);
            if (unusedBytes_ > kFloodBytes) {
                throw Error(kErrReadFile, ENOBUFS);
            }
            continue;
        }
        if (got == 0) {
            peerClosed_ = true;
            break;
        }
        if (error == EAGAIN) {
            break;
        }
        if (ConnectionGone(error)) {
            peerClosed_ = true;
            break;
        }
        throw Error(kErrReadFile, error);
    }
    if (!session_) {
        received_.insert(received_.end(), arrived.begin(), arrived.end());
        return !peerClosed_;
    }
    std::vector<std::uint8_t> fresh;
    std::vector<std::uint8_t> answers;
    session_->Feed(arrived, fresh, answers);
    // The answers of one turn go out together, within one write's bound.
    if (!answers.empty() && !peerClosed_) {
        SendCommand(answers);
    }
    received_.insert(received_.end(), fresh.begin(), fresh.end());
    return !peerClosed_;
}

std::size_t NetworkLine::SendUntil(std::span<const std::uint8_t> bytes,
                                   LineClock::time_point deadline) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        int error = 0;
        const long n = tcp::Send(socket_, bytes.data() + done, bytes.size() - done, error);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && error != EAGAIN) {
            if (ConnectionGone(error)) {
                peerClosed_ = true;
                throw Error(kErrWriteFile, EIO);
            }
            throw Error(kErrWriteFile, error);
        }
        if (tcp::Wait(socket_, true, MsLeft(deadline), error) <= 0 ||
            LineClock::now() >= deadline) {
            break;
        }
    }
    return done;
}

void NetworkLine::SendCommand(const std::vector<std::uint8_t>& bytes) {
    if (SendUntil(bytes, WriteDeadline(0)) < bytes.size()) {
        throw Error(kErrWriteFile, ETIMEDOUT);
    }
}

void NetworkLine::Shut() noexcept {
    if (socket_ != tcp::kNoSocket) {
        tcp::Close(socket_);
        socket_ = tcp::kNoSocket;
    }
}

void NetworkLine::Close() {
    if (socket_ == tcp::kNoSocket) {
        return;
    }
    // As a local port discards its input on closing (and its output after a write cut short),
    // the server is asked to; the answer is not waited for.
    if (session_ && !peerClosed_) {
        const auto purge = telnet::Session::Purge(outputStuck_);
        int ignored = 0;
        (void)tcp::Send(socket_, purge.data(), purge.size(), ignored);
    }
    std::this_thread::sleep_until(lastWrite_ + std::chrono::milliseconds(kNetworkLingerMs));
    Shut();
    received_.clear();
}

void NetworkLine::CheckSettings() const {
    if (session_ && session_->SettingsRefused()) {
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
        session_ ? telnet::Escape(data) : std::vector<std::uint8_t>(data.begin(), data.end());
    const LineClock::time_point deadline = WriteDeadline(count);
    const std::size_t done = SendUntil(wire, deadline);
    if (done < wire.size()) {
        // Cut short by the timeout: the smaller count, no error.
        return static_cast<int>(session_ ? telnet::EscapedBytesSent(data, done) : done);
    }
    // Like a local port, return once the bytes have left: here, once they are on the network.
    // Waiting for the server's acknowledgement instead would cost its delayed ACK (up to 40 ms)
    // on every write.
    for (;;) {
        if (tcp::Unsent(socket_) <= 0) {
            break;
        }
        if (LineClock::now() >= deadline) {
            return count;  // all handed to the connection; the server is slow to take them
        }
        std::this_thread::sleep_for(std::chrono::microseconds(kSendQueuePollMicros));
    }
    outputStuck_ = false;
    lastWrite_ = LineClock::now();
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
    // What the host takes counts as used; what waits unread still counts.
    unusedBytes_ = received_.size();
    return static_cast<int>(take);
}

bool NetworkLine::WaitForInput(int timeoutMs) {
    const LineClock::time_point deadline =
        LineClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        const bool open = Pump();
        CheckSettings();
        if (!received_.empty()) {
            return true;
        }
        if (!open) {
            throw Error(kErrReadFile, EIO);
        }
        // Bytes that bring no data (commands, what came before the purge's answer) keep the
        // connection readable: the deadline is what ends the wait then.
        if (LineClock::now() >= deadline) {
            return false;
        }
        int error = 0;
        const int ready = tcp::Wait(socket_, false, MsLeft(deadline), error);
        if (ready < 0 && error != EINTR) {
            throw Error(kErrReadFile, error);
        }
        if (ready == 0) {
            return false;
        }
    }
}

}  // namespace zorvik
