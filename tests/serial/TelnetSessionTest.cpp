// The RFC 2217 client over bytes alone: what it offers and sets, how it answers the server, and
// which received bytes reach the host.
#include "serial/TelnetSession.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zorvik::telnet {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Telnet and RFC 2217 bytes, restated.
constexpr std::uint8_t IAC = 0xFF, DONT = 0xFE, DO = 0xFD, WONT = 0xFC, WILL = 0xFB, SB = 0xFA,
                       SE = 0xF0;
constexpr std::uint8_t kBinary = 0, kSga = 3, kComPort = 44, kTtype = 24, kEcho = 1;

TEST(TelnetSession, OpensWithItsOffersThenTheDeviceLineThenPurges) {
    Session session;
    EXPECT_EQ(session.Offer(), (Bytes{IAC, WILL, kBinary, IAC, WILL, kSga, IAC, WILL, kComPort, IAC,
                                      DO, kBinary, IAC, DO, kSga}));
    // 57600 baud, 8 data bits, no parity, one stop bit, no flow control, DTR off, RTS off.
    EXPECT_EQ(
        session.Settings(),
        (Bytes{IAC, SB,  kComPort, 1,   0x00, 0x00,     0xE1, 0x00, IAC, SE, IAC, SB, kComPort, 2,
               8,   IAC, SE,       IAC, SB,   kComPort, 3,    1,    IAC, SE, IAC, SB, kComPort, 4,
               1,   IAC, SE,       IAC, SB,   kComPort, 5,    1,    IAC, SE, IAC, SB, kComPort, 5,
               9,   IAC, SE,       IAC, SB,   kComPort, 5,    12,   IAC, SE}));
    EXPECT_EQ(Session::Purge(false), (Bytes{IAC, SB, kComPort, 12, 1, IAC, SE}));
    EXPECT_EQ(Session::Purge(true), (Bytes{IAC, SB, kComPort, 12, 3, IAC, SE}));
}

std::string State(const Session& s) {
    return std::string(s.ComPortAgreed() ? "agreed " : "") +
           (s.ComPortRefused() ? "refused " : "") + (s.LineSet() ? "set " : "") +
           (s.SettingsRefused() ? "settings-refused " : "");
}

TEST(TelnetSession, AnswersOnlyChangesAndPassesOnlyFreshData) {
    struct Case {
        const char* name;
        bool settingsSent;
        std::vector<Bytes> pieces;  // as the connection delivers them
        Bytes answers;
        Bytes data;
        const char* state;
    };
    const Case cases[] = {
        {"the server takes up what was offered: nothing to answer",
         false,
         {{IAC, DO, kComPort, IAC, DO, kBinary, IAC, WILL, kBinary, IAC, WILL, kSga}},
         {},
         {},
         "agreed "},
        {"serial-port control refused",
         false,
         {{IAC, DONT, kComPort}},
         {IAC, WONT, kComPort},
         {},
         "refused "},
        {"options not asked for are refused, unknown withdrawals ignored",
         false,
         {{IAC, DO, kTtype, IAC, WILL, kEcho, IAC, WILL, kComPort, IAC, WONT, kEcho, IAC, DONT,
           kTtype}},
         {IAC, WONT, kTtype, IAC, DONT, kEcho, IAC, DONT, kComPort},
         {},
         ""},
        {"a server that keeps renegotiating gets one answer per change",
         false,
         {{IAC, DONT, kBinary, IAC, DONT, kBinary, IAC, DO,   kBinary, IAC, DO,   kBinary,
           IAC, WONT, kSga,    IAC, WONT, kSga,    IAC, WILL, kSga,    IAC, WILL, kSga}},
         {IAC, WONT, kBinary, IAC, WILL, kBinary, IAC, DONT, kSga, IAC, DO, kSga},
         {},
         ""},
        {"IAC IAC is a data byte 0xFF; a command split across pieces is joined",
         false,
         {{'a', IAC}, {IAC, 'b', IAC}, {DO}, {kTtype, 'c'}},
         {IAC, WONT, kTtype},
         {'a', 0xFF, 'b', 'c'},
         ""},
        {"settings answered as asked",
         true,
         {{IAC, SB,       kComPort, 101, 0x00,     0x00, 0xE1, 0x00, IAC,      SE,  IAC,
           SB,  kComPort, 102,      8,   IAC,      SE,   IAC,  SB,   kComPort, 103, 1,
           IAC, SE,       IAC,      SB,  kComPort, 104,  1,    IAC,  SE}},
         {},
         {},
         "set "},
        {"baud rate answered with another",
         true,
         {{IAC, SB, kComPort, 101, 0x00, 0x00, 0x25, 0x80, IAC, SE}},
         {},
         {},
         "set settings-refused "},
        {"stop size answered with another",
         true,
         {{IAC, SB, kComPort, 104, 2, IAC, SE}},
         {},
         {},
         "settings-refused "},
        {"data before the purge's answer is stale, in any pieces",
         true,
         {{'o', 'l'}, {'d', IAC, SB, kComPort, 112, 1, IAC, SE, 'n'}, {'e', 'w'}},
         {},
         {'n', 'e', 'w'},
         ""},
        {"before the settings no data is stale",
         false,
         {{'o', IAC, SB, kComPort, 112, 1, IAC, SE, 'k'}},
         {},
         {'o', 'k'},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session session;
        (void)session.Offer();
        if (c.settingsSent) {
            (void)session.Settings();
        }
        Bytes answers;
        Bytes data;
        for (const Bytes& piece : c.pieces) {
            session.Feed(piece, data, answers);
        }
        EXPECT_EQ(answers, c.answers);
        EXPECT_EQ(data, c.data);
        EXPECT_EQ(State(session), c.state);
    }
}

}  // namespace
}  // namespace zorvik::telnet
