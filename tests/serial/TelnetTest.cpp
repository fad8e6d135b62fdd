// The telnet / RFC 2217 decoding of what a network serial server sends, and the commands sent to
// it, byte for byte.
#include "serial/Telnet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zorvik::telnet {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Decoded {
    Bytes data;
    std::vector<Event> events;
};

Decoded DecodeWhole(const Bytes& input) {
    Decoded out;
    Decoder decoder;
    decoder.Feed(input, out.data, out.events);
    return out;
}

Decoded DecodeByteByByte(const Bytes& input) {
    Decoded out;
    Decoder decoder;
    for (const std::uint8_t byte : input) {
        decoder.Feed(std::span<const std::uint8_t>(&byte, 1), out.data, out.events);
    }
    return out;
}

// IAC = 0xFF, WILL 0xFB, DO 0xFD, DONT 0xFE, SB 0xFA, SE 0xF0, NOP 0xF1; COM-PORT-OPTION 44 (0x2C).
const Bytes kMixed{'R',  'e',  0xFF, 0xFD, 0x2C,  // DO COM-PORT-OPTION
                   'a',  0xFF, 0xFF, 'd',         // a data byte 0xFF
                   0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x00, 0xE1, 0x00, 0xFF,
                   0xF0,                                                  // baud rate reply: 57600
                   0xFF, 0xF1,                                            // no-operation
                   'y',  0xFF, 0xFA, 0x2C, 0x6C, 0xFF, 0xFF, 0xFF, 0xF0,  // a reply holding 0xFF
                   0xFF, 0xFE, 0x00,                                      // DONT BINARY
                   'O'};

TEST(TelnetDecoder, DataComesOutWithoutCommandsEscapedBytesSingleAndCommandsInPlace) {
    const Decoded decoded = DecodeWhole(kMixed);
    EXPECT_EQ(decoded.data, (Bytes{'R', 'e', 'a', 0xFF, 'd', 'y', 'O'}));
    EXPECT_EQ(decoded.events,
              (std::vector<Event>{
                  {Event::Kind::Do, 0x2C, {}, 2},
                  {Event::Kind::Subnegotiation, 0x2C, {0x65, 0x00, 0x00, 0xE1, 0x00}, 5},
                  {Event::Kind::Subnegotiation, 0x2C, {0x6C, 0xFF}, 6},
                  {Event::Kind::Dont, 0x00, {}, 6},
              }));
}

TEST(TelnetDecoder, CommandsSplitAcrossReadsAreJoined) {
    const Decoded whole = DecodeWhole(kMixed);
    const Decoded pieces = DecodeByteByByte(kMixed);
    EXPECT_EQ(pieces.data, whole.data);
    EXPECT_EQ(pieces.events, whole.events);
}

TEST(TelnetDecoder, OverlongOrBrokenSubnegotiationIsBoundedAndDataAfterItSurvives) {
    Bytes input{0xFF, 0xFA, 0x2C};
    input.insert(input.end(), 10'000, 0x41);
    input.insert(input.end(), {0xFF, 0xF0, 'O', 0xFF, 0xFA, 0x2C, 0x01, 0xFF, 0xFD, 'K'});
    const Decoded decoded = DecodeWhole(input);
    ASSERT_EQ(decoded.events.size(), 1U);
    EXPECT_EQ(decoded.events[0].payload.size(), 63U);
    // A command other than SE inside a subnegotiation ends it; what follows is data again.
    EXPECT_EQ(decoded.data, (Bytes{'O', 'K'}));
}

TEST(TelnetEncoding, DataAndCommandsAreEscapedOnTheWire) {
    EXPECT_EQ(Escape(Bytes{0x01, 0xFF, 0x00, 0xFF}), (Bytes{0x01, 0xFF, 0xFF, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(Negotiation(kWill, kOptComPort), (Bytes{0xFF, 0xFB, 0x2C}));
    const Bytes baud{0x00, 0x00, 0xE1, 0x00};
    EXPECT_EQ(ComPortCommand(kSetBaudRate, baud),
              (Bytes{0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0xE1, 0x00, 0xFF, 0xF0}));
    const Bytes odd{0xFF};
    EXPECT_EQ(ComPortCommand(kSetControl, odd),
              (Bytes{0xFF, 0xFA, 0x2C, 0x05, 0xFF, 0xFF, 0xFF, 0xF0}));
    // A write cut short between the two bytes of an escaped 0xFF has not sent that data byte.
    const Bytes data{0x01, 0xFF, 0x02};  // 01 FF FF 02 on the wire
    const std::size_t whole[] = {0, 1, 1, 2, 3};
    for (std::size_t wire = 0; wire <= 4; ++wire) {
        EXPECT_EQ(EscapedBytesSent(data, wire), whole[wire]) << wire << " wire bytes";
    }
}

}  // namespace
}  // namespace zorvik::telnet
