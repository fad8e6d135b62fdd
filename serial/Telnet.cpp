// Telnet framing and the serial-port control option: decoding received bytes, building commands.
#include "serial/Telnet.h"

namespace zorvik::telnet {

void Decoder::Feed(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
                   std::vector<Event>& events) {
    for (const std::uint8_t byte : bytes) {
        switch (state_) {
            case State::Data:
                if (byte == kIac) {
                    state_ = State::Command;
                } else {
                    data.push_back(byte);
                }
                break;
            case State::Command:
                if (byte == kIac) {
                    data.push_back(byte);
                    state_ = State::Data;
                } else if (byte == kWill || byte == kWont || byte == kDo || byte == kDont) {
                    verb_ = byte;
                    state_ = State::Option;
                } else if (byte == kSb) {
                    sub_.clear();
                    state_ = State::Sub;
                } else {
                    state_ = State::Data;
                }
                break;
            case State::Option: {
                const Event::Kind kind = verb_ == kWill   ? Event::Kind::Will
                                         : verb_ == kWont ? Event::Kind::Wont
                                         : verb_ == kDo   ? Event::Kind::Do
                                                          : Event::Kind::Dont;
                events.push_back({kind, byte, {}, data.size()});
                state_ = State::Data;
                break;
            }
            case State::Sub:
                if (byte == kIac) {
                    state_ = State::SubCommand;
                } else if (sub_.size() < kMaxSubnegotiation) {
                    sub_.push_back(byte);
                }
                break;
            case State::SubCommand:
                if (byte == kIac) {
                    if (sub_.size() < kMaxSubnegotiation) {
                        sub_.push_back(byte);
                    }
                    state_ = State::Sub;
                } else if (byte == kSe) {
                    if (!sub_.empty()) {
                        events.push_back({Event::Kind::Subnegotiation, sub_.front(),
                                          std::vector<std::uint8_t>(sub_.begin() + 1, sub_.end()),
                                          data.size()});
                    }
                    sub_.clear();
                    state_ = State::Data;
                } else {
                    // Any other command ends a broken subnegotiation; what it held is dropped.
                    sub_.clear();
                    state_ = State::Data;
                }
                break;
        }
    }
}

std::vector<std::uint8_t> Escape(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    out.reserve(data.size());
    for (const std::uint8_t byte : data) {
        out.push_back(byte);
        if (byte == kIac) {
            out.push_back(kIac);
        }
    }
    return out;
}

std::size_t EscapedBytesSent(std::span<const std::uint8_t> data, std::size_t wireBytes) {
    std::size_t whole = 0;
    std::size_t at = 0;
    for (const std::uint8_t byte : data) {
        at += byte == kIac ? 2 : 1;
        if (at > wireBytes) {
            break;
        }
        ++whole;
    }
    return whole;
}

std::vector<std::uint8_t> Negotiation(std::uint8_t verb, std::uint8_t option) {
    return {kIac, verb, option};
}

std::vector<std::uint8_t> ComPortCommand(std::uint8_t command,
                                         std::span<const std::uint8_t> value) {
    std::vector<std::uint8_t> out{kIac, kSb, kOptComPort, command};
    const std::vector<std::uint8_t> escaped = Escape(value);
    out.insert(out.end(), escaped.begin(), escaped.end());
    out.push_back(kIac);
    out.push_back(kSe);
    return out;
}

}  // namespace zorvik::telnet
