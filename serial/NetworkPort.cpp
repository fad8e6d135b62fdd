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

using namespace telnet;

// The device's line: 57600 baud (four bytes, network order), 8 data bits.
constexpr std::array<std::uint8_t, 4> kBaudBytes{0x00, 0x00, 0xE1, 0x00};
constexpr std::uint8_t kDataBits = 8;

constexpr int kSendQueuePollMicros = 200;  // between looks at what the server has not taken
constexpr std::size_t kReceiveChunk = 4096;
// What one look at the connection takes at most, so that every wait gets back to its deadline
// however fast the server sends.
constexpr std::size_t kReceiveTurnBytes = 4 * kReceiveChunk;
// The most an exchange can use is a 257-byte block and a few banners. A server that sends far
// more than that without the host taking any of it (data, telnet commands or bytes before the
// purge's answer alike) is flooding the port, and the port gives up with its own error.
constexpr std::size_t kFloodBytes = 64 * 1024;

// The options this client takes up when the server asks for them, both ways.
constexpr std::array<std::uint8_t, 3> kOwnOptions{kOptBinary, kOptSuppressGoAhead, kOptComPort};
constexpr std::array<std::uint8_t, 2> kServerOptions{kOptBinary, kOptSuppressGoAhead};

std::int64_t NowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int MsLeft(std::int64_t deadlineMicros) {
    const std::int64_t left = (deadlineMicros - NowMicros() + 999) / 1000;
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, INT32_MAX));
}

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
    const std::int64_t deadline = NowMicros() + std::int64_t{kNetworkConnectMs} * 1000;
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

void NetworkLine::Connect(std::int64_t deadline) {
    int error = 0;
    socket_ = tcp::Connect(
        address_.host, address_.service, [deadline] { return MsLeft(deadline); }, error);
    if (socket_ == tcp::kNoSocket) {
        throw Error(kErrOpen, error);
    }
}

void NetworkLine::Negotiate(std::int64_t deadline) {
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
        // Connected, but no word on serial-port control: a server that does not speak it (a
        // plain telnet port, ser2net without remctl) ignores the question.
        int error = 0;
        if (tcp::Wait(socket_, false, MsLeft(deadline), error) == 0 || NowMicros() >= deadline) {
            throw Error(kErrSetCommState, ETIMEDOUT);
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
    purged_ = false;
    SendCommand(settings);

    // A server may open its device only now, and pass on at once what the device had queued
    // long before, after answering any purge sent with the settings: a banner that old, taken
    // as fresh, puts the command byte on the device's next banner, whose "R" then reads as a
    // refused password. So the purge waits for the answer to the baud rate (the device is open
    // and set); what the server passes on before the purge's answer is stale, as a local port's
    // queue is when it opens. The other answers are checked as they come.
    const std::int64_t lineSetBy =
        std::min(deadline, NowMicros() + std::int64_t{kNetworkLineSetMs} * 1000);
    while (!lineSet_ && NowMicros() < lineSetBy) {
        if (!Pump()) {
            throw Error(kErrOpen, ECONNRESET);
        }
        int error = 0;
        if (!lineSet_ && tcp::Wait(socket_, false, MsLeft(lineSetBy), error) < 0 &&
            error != EINTR) {
            throw Error(kErrOpen, error);
        }
    }
    const std::uint8_t which = kPurgeReceive;
    SendCommand(ComPortCommand(kPurgeData, std::span<const std::uint8_t>(&which, 1)));
}

bool NetworkLine::Pump() {
    if (peerClosed_) {
        return false;
    }
    std::vector<std::uint8_t> fresh;
    std::vector<Event> events;
    std::uint8_t chunk[kReceiveChunk];
    for (std::size_t taken = 0; taken < kReceiveTurnBytes;) {
        int error = 0;
        const long got = tcp::Receive(socket_, chunk, sizeof chunk, error);
        if (got > 0) {
            taken += static_cast<std::size_t>(got);
            unusedBytes_ += static_cast<std::size_t>(got);
            if (unusedBytes_ > kFloodBytes) {
                throw Error(kErrReadFile, ENOBUFS);
            }
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
        if (error == EAGAIN) {
            break;
        }
        if (ConnectionGone(error)) {
            peerClosed_ = true;
            break;
        }
        throw Error(kErrReadFile, error);
    }
    std::size_t stale = 0;
    replies_.clear();
    for (const Event& event : events) {
        Answer(event);
        if (!purged_ && event.kind == Event::Kind::Subnegotiation && event.option == kOptComPort &&
            !event.payload.empty() && event.payload[0] == kPurgeData + kServerReplyOffset) {
            purged_ = true;
            stale = event.at;
        }
    }
    // The answers of one turn go out together, within one write's bound.
    if (!replies_.empty() && !peerClosed_) {
        SendCommand(replies_);
    }
    if (!purged_) {
        stale = fresh.size();
    }
    received_.insert(received_.end(), fresh.begin() + static_cast<std::ptrdiff_t>(stale),
                     fresh.end());
    return !peerClosed_;
}

void NetworkLine::Reply(const std::vector<std::uint8_t>& bytes) {
    replies_.insert(replies_.end(), bytes.begin(), bytes.end());
}

void NetworkLine::Answer(const Event& event) {
    const std::uint8_t option = event.option;
    switch (event.kind) {
        case Event::Kind::Do:
            if (!Contains(kOwnOptions, option)) {
                Reply(Negotiation(kWont, option));
            } else if (!Contains(willSent_, option)) {
                willSent_.push_back(option);
                Reply(Negotiation(kWill, option));
            }
            comPortAgreed_ = comPortAgreed_ || option == kOptComPort;
            break;
        case Event::Kind::Dont:
            if (Contains(willSent_, option)) {
                Remove(willSent_, option);
                Reply(Negotiation(kWont, option));
            }
            comPortRefused_ = comPortRefused_ || option == kOptComPort;
            break;
        case Event::Kind::Will:
            if (!Contains(kServerOptions, option)) {
                Reply(Negotiation(kDont, option));
            } else if (!Contains(doSent_, option)) {
                doSent_.push_back(option);
                Reply(Negotiation(kDo, option));
            }
            break;
        case Event::Kind::Wont:
            if (Contains(doSent_, option)) {
                Remove(doSent_, option);
                Reply(Negotiation(kDont, option));
            }
            break;
        case Event::Kind::Subnegotiation:
            if (option == kOptComPort && !event.payload.empty()) {
                // The server answers each setting with the value it took.
                const std::vector<std::uint8_t> value(event.payload.begin() + 1,
                                                      event.payload.end());
                const std::uint8_t command = event.payload[0];
                lineSet_ = lineSet_ || command == kSetBaudRate + kServerReplyOffset;
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

std::size_t NetworkLine::SendUntil(std::span<const std::uint8_t> bytes, std::int64_t deadline) {
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
        if (tcp::Wait(socket_, true, MsLeft(deadline), error) <= 0 || NowMicros() >= deadline) {
            break;
        }
    }
    return done;
}

void NetworkLine::SendCommand(const std::vector<std::uint8_t>& bytes) {
    const std::int64_t deadline = NowMicros() + std::int64_t{kWriteMsConstant} * 1000;
    if (SendUntil(bytes, deadline) < bytes.size()) {
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
    if (rfc2217_ && !peerClosed_) {
        const std::uint8_t which = outputStuck_ ? kPurgeBoth : kPurgeReceive;
        const auto purge = ComPortCommand(kPurgeData, std::span<const std::uint8_t>(&which, 1));
        int ignored = 0;
        (void)tcp::Send(socket_, purge.data(), purge.size(), ignored);
    }
    const std::int64_t lingerUntil = lastWriteMicros_ + std::int64_t{kNetworkLingerMs} * 1000;
    if (const std::int64_t now = NowMicros(); now < lingerUntil) {
        std::this_thread::sleep_for(std::chrono::microseconds(lingerUntil - now));
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
    const std::int64_t deadline =
        NowMicros() + (std::int64_t{kWriteMsPerByte} * count + kWriteMsConstant) * 1000;
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
        if (tcp::Unsent(socket_) <= 0) {
            break;
        }
        if (NowMicros() >= deadline) {
            return count;  // all handed to the connection; the server is slow to take them
        }
        std::this_thread::sleep_for(std::chrono::microseconds(kSendQueuePollMicros));
    }
    outputStuck_ = false;
    lastWriteMicros_ = NowMicros();
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
    const std::int64_t deadline = NowMicros() + std::int64_t{std::max(timeoutMs, 0)} * 1000;
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
        if (NowMicros() >= deadline) {
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
