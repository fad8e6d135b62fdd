// The RFC 2217 client over bytes alone: what it offers and sets, how it answers the server, and
// which received bytes reach the host. Bytes are written in hex: IAC FF, DONT FE, DO FD, WONT FC,
// WILL FB, SB FA, SE F0; options BINARY 00, ECHO 01, SUPPRESS-GO-AHEAD 03, TTYPE 18, COM-PORT 2C.
#include "serial/TelnetSession.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace zorvik::telnet {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    for (unsigned byte = 0; in >> std::hex >> byte;) {
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return bytes;
}

std::string ToHex(const Bytes& bytes) {
    std::ostringstream out;
    for (const std::uint8_t byte : bytes) {
        out << (out.tellp() > 0 ? " " : "") << std::uppercase << std::hex << std::setw(2)
            << std::setfill('0') << int{byte};
    }
    return out.str();
}

TEST(TelnetSession, OpensWithItsOffersThenTheDeviceLineThenPurges) {
    Session session;
    EXPECT_EQ(ToHex(session.Offer()), "FF FB 00 FF FB 03 FF FB 2C FF FD 00 FF FD 03");
    // 57600 baud, 8 data bits, no parity, one stop bit, no flow control, DTR off, RTS off.
    EXPECT_EQ(
        ToHex(session.Settings()),
        "FF FA 2C 01 00 00 E1 00 FF F0 FF FA 2C 02 08 FF F0 FF FA 2C 03 01 FF F0 "
        "FF FA 2C 04 01 FF F0 FF FA 2C 05 01 FF F0 FF FA 2C 05 09 FF F0 FF FA 2C 05 0C FF F0");
    EXPECT_EQ(ToHex(Session::Purge(false)), "FF FA 2C 0C 01 FF F0");
    EXPECT_EQ(ToHex(Session::Purge(true)), "FF FA 2C 0C 03 FF F0");
}

// What the session made of the server's bytes: its answers | the data | what it learnt.
std::string Outcome(const Session& s, const Bytes& answers, const Bytes& data) {
    return ToHex(answers) + " | " + ToHex(data) + " |" + (s.ComPortAgreed() ? " agreed" : "") +
           (s.ComPortRefused() ? " refused" : "") + (s.LineSet() ? " set" : "") +
           (s.SettingsRefused() ? " settings-refused" : "");
}

TEST(TelnetSession, AnswersOnlyChangesAndPassesOnlyFreshDataInAnyPieces) {
    struct Case {
        const char* name;
        bool settingsSent;
        const char* server;
        const char* outcome;
    };
    const Case cases[] = {
        {"the offers taken up need no answer", false, "FF FD 2C FF FD 00 FF FB 00 FF FB 03",
         " |  | agreed"},
        {"serial-port control refused", false, "FF FE 2C", "FF FC 2C |  | refused"},
        {"options not asked for are refused; withdrawing what never was needs no answer", false,
         "FF FD 18 FF FB 01 FF FB 2C FF FC 01 FF FE 18", "FF FC 18 FF FE 01 FF FE 2C |  |"},
        {"a server that keeps renegotiating gets one answer per change", false,
         "FF FE 00 FF FE 00 FF FD 00 FF FD 00 FF FC 03 FF FC 03 FF FB 03 FF FB 03",
         "FF FC 00 FF FB 00 FF FE 03 FF FD 03 |  |"},
        {"IAC IAC is a data byte FF; before the settings no data is stale", false,
         "61 FF FF 62 FF FD 18 63", "FF FC 18 | 61 FF 62 63 |"},
        {"settings answered as asked", true,
         "FF FA 2C 65 00 00 E1 00 FF F0 FF FA 2C 66 08 FF F0 FF FA 2C 67 01 FF F0 "
         "FF FA 2C 68 01 FF F0",
         " |  | set"},
        {"baud rate answered with another", true, "FF FA 2C 65 00 00 25 80 FF F0",
         " |  | set settings-refused"},
        {"data before the purge's answer is stale", true, "6F 6C 64 FF FA 2C 70 01 FF F0 6E 65 77",
         " | 6E 65 77 |"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes server = FromHex(c.server);
        for (const std::size_t piece : {server.size(), std::size_t{1}}) {
            Session session;
            (void)session.Offer();
            if (c.settingsSent) {
                (void)session.Settings();
            }
            Bytes answers;
            Bytes data;
            for (std::size_t at = 0; at < server.size(); at += piece) {
                session.Feed(Bytes(server.begin() + at, server.begin() + at + piece), data,
                             answers);
            }
            EXPECT_EQ(Outcome(session, answers, data), c.outcome) << "in pieces of " << piece;
        }
    }
}

}  // namespace
}  // namespace zorvik::telnet
