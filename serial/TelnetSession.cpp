// The RFC 2217 client's negotiation, settings and purges over bytes.
#include "serial/TelnetSession.h"

#include <algorithm>
#include <array>

namespace zorvik::telnet {

namespace {

// The device's line: 57600 baud (four bytes, network order), 8 data bits.
constexpr std::array<std::uint8_t, 4> kBaudBytes{0x00, 0x00, 0xE1, 0x00};
constexpr std::uint8_t kDataBits = 8;

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

void Append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> OneByteCommand(std::uint8_t command, std::uint8_t value) {
    return ComPortCommand(command, std::span<const std::uint8_t>(&value, 1));
}

}  // namespace

std::vector<std::uint8_t> Session::Offer() {
    std::vector<std::uint8_t> offer;
    for (const std::uint8_t option : kOwnOptions) {
        Append(offer, Negotiation(kWill, option));
        willSent_.push_back(option);
    }
    for (const std::uint8_t option : kServerOptions) {
        Append(offer, Negotiation(kDo, option));
        doSent_.push_back(option);
    }
    return offer;
}

std::vector<std::uint8_t> Session::Settings() {
    std::vector<std::uint8_t> settings = ComPortCommand(kSetBaudRate, kBaudBytes);
    Append(settings, OneByteCommand(kSetDataSize, kDataBits));
    Append(settings, OneByteCommand(kSetParity, kParityNone));
    Append(settings, OneByteCommand(kSetStopSize, kStopBitsOne));
    Append(settings, OneByteCommand(kSetControl, kControlNoFlowControl));
    Append(settings, OneByteCommand(kSetControl, kControlDtrOff));
    Append(settings, OneByteCommand(kSetControl, kControlRtsOff));
    purged_ = false;
    return settings;
}

std::vector<std::uint8_t> Session::Purge(bool unsentToo) {
    return OneByteCommand(kPurgeData, unsentToo ? kPurgeBoth : kPurgeReceive);
}

void Session::Feed(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
                   std::vector<std::uint8_t>& answers) {
    std::vector<std::uint8_t> fresh;
    std::vector<Event> events;
    decoder_.Feed(bytes, fresh, events);
    std::size_t stale = 0;
    for (const Event& event : events) {
        Answer(event, answers);
        if (!purged_ && event.kind == Event::Kind::Subnegotiation && event.option == kOptComPort &&
            !event.payload.empty() && event.payload[0] == kPurgeData + kServerReplyOffset) {
            purged_ = true;
            stale = event.at;
        }
    }
    if (!purged_) {
        stale = fresh.size();
    }
    data.insert(data.end(), fresh.begin() + static_cast<std::ptrdiff_t>(stale), fresh.end());
}

void Session::Answer(const Event& event, std::vector<std::uint8_t>& answers) {
    const std::uint8_t option = event.option;
    switch (event.kind) {
        case Event::Kind::Do:
            if (!Contains(kOwnOptions, option)) {
                Append(answers, Negotiation(kWont, option));
            } else if (!Contains(willSent_, option)) {
                willSent_.push_back(option);
                Append(answers, Negotiation(kWill, option));
            }
            comPortAgreed_ = comPortAgreed_ || option == kOptComPort;
            break;
        case Event::Kind::Dont:
            if (Contains(willSent_, option)) {
                Remove(willSent_, option);
                Append(answers, Negotiation(kWont, option));
            }
            comPortRefused_ = comPortRefused_ || option == kOptComPort;
            break;
        case Event::Kind::Will:
            if (!Contains(kServerOptions, option)) {
                Append(answers, Negotiation(kDont, option));
            } else if (!Contains(doSent_, option)) {
                doSent_.push_back(option);
                Append(answers, Negotiation(kDo, option));
            }
            break;
        case Event::Kind::Wont:
            if (Contains(doSent_, option)) {
                Remove(doSent_, option);
                Append(answers, Negotiation(kDont, option));
            }
            break;
        case Event::Kind::Subnegotiation:
            if (option == kOptComPort && !event.payload.empty()) {
                Settled(event.payload);
            }
            break;
    }
}

void Session::Settled(std::span<const std::uint8_t> reply) {
    // The server answers each setting with the value it took.
    const std::uint8_t command = reply[0];
    const std::span<const std::uint8_t> value = reply.subspan(1);
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

}  // namespace zorvik::telnet
