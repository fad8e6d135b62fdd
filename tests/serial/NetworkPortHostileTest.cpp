// The network port against servers that misbehave on purpose, each a small server on the
// loopback interface: whatever they send, every wait ends within its bound with a port error that
// says what went wrong.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "serial/NetworkPort.h"
#include "serial/PortFault.h"
#include "tests/support/HostileServer.h"

namespace zorvik::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Telnet and RFC 2217 bytes, restated.
constexpr std::uint8_t IAC = 0xFF, DONT = 0xFE, DO = 0xFD, WILL = 0xFB, SB = 0xFA, SE = 0xF0;
constexpr std::uint8_t kComPort = 44;

// Takes what comes and never answers.
const HostileServer::Serve kSilent = HostileServer::Flood({}, {});

const Bytes kAgree = {IAC, DO, kComPort, IAC, WILL, kComPort};

TEST(HostileServer, EveryWaitEndsInTimeWithAPortErrorThatSaysWhy) {
    struct Case {
        const char* name;
        const char* scheme;
        HostileServer::Serve serve;
        PortFault fault;
    };
    const auto flood = HostileServer::Flood;
    const Case cases[] = {
        {"escaped 0xFF data without end", "rfc2217://", flood(kAgree, {IAC, IAC}),
         PortFault::Flooded},
        {"WILL offers without end", "rfc2217://", flood({}, {IAC, WILL, 0x18}), PortFault::Flooded},
        {"WILL offers without end, after agreeing", "rfc2217://", flood(kAgree, {IAC, WILL, 0x18}),
         PortFault::Flooded},
        {"small subnegotiations without end", "rfc2217://",
         flood(kAgree, {IAC, SB, kComPort, 107, 0, IAC, SE}), PortFault::Flooded},
        {"raw bytes without end", "socket://", flood({}, {'x'}), PortFault::Flooded},
        {"refuses serial-port control", "rfc2217://", flood({IAC, DONT, kComPort}, {}),
         PortFault::SerialControlRefused},
        {"ignores serial-port control", "rfc2217://", kSilent, PortFault::SerialControlRefused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HostileServer server(c.serve);
        ASSERT_FALSE(server.Address(c.scheme).empty());
        const std::string address = server.Address(c.scheme);
        std::unique_ptr<NetworkLine> port;
        const auto start = Clock::now();
        std::optional<PortFault> fault;
        try {
            port = std::make_unique<NetworkLine>(*ParseNetworkAddress(address), address);
            // Polls as an exchange does, a pause and a read, far longer than any exchange; a
            // wait for input in between, as the firmware update's.
            std::uint8_t buffer[5];
            for (int poll = 0; poll < 200; ++poll) {
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
                (void)port->Read(buffer, sizeof buffer);
                (void)port->WaitForInput(25);
            }
        } catch (const EComPort& error) {
            fault = ClassifyPortFault(error);
        }
        const auto took = Clock::now() - start;
        port.reset();
        ASSERT_TRUE(fault.has_value()) << "no error";
        EXPECT_EQ(*fault, c.fault);
        EXPECT_LT(took, std::chrono::milliseconds(3500));
    }
}

// ser2net answers a purge at once, opens its device only once the settings come, and passes on
// what the device had queued long before: an old banner that must not reach the host.
TEST(StaleBytesServer, OnlyWhatComesAfterTheLineIsSetReachesTheHost) {
    const std::string purge = "\xFF\xFA\x2C\x0C\x01\xFF\xF0";  // and its answer, 12 + 100:
    const std::string purged = "\xFF\xFA\x2C\x70\x01\xFF\xF0";
    HostileServer server([&](int fd, const std::atomic<bool>&) {
        std::string heard;
        const auto hear = [&](const std::string& what, std::size_t after) {  // within a second
            for (int look = 0; look < 100 && heard.find(what, after) == std::string::npos; ++look) {
                char chunk[256];
                pollfd input{fd, POLLIN, 0};
                const ssize_t got = ::poll(&input, 1, 10) > 0 ? ::recv(fd, chunk, 256, 0) : 0;
                heard.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
            }
            return heard.find(what, after);
        };
        const auto send = [fd](const std::string& text) {
            (void)!::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        };
        send(std::string(kAgree.begin(), kAgree.end()));
        hear("\xFF\xFA\x2C\x01", 0);                  // the baud rate
        const std::size_t early = heard.find(purge);  // sent with the settings
        if (early != std::string::npos) {
            send(purged);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the device opens
        send(std::string("\xFF\xFA\x2C\x65\x00\x00\xE1\x00\xFF\xF0Ready", 15));
        if (hear(purge, early == std::string::npos ? 0 : early + 1) != std::string::npos) {
            send(purged);
        }
        send("Fresh");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    const std::string address = server.Address("rfc2217://");
    NetworkLine port(*ParseNetworkAddress(address), address);
    std::string got;
    for (int poll = 0; poll < 100 && got.size() < 5; ++poll) {
        std::uint8_t buffer[16];
        got.append(buffer, buffer + (port.WaitForInput(20) ? port.Read(buffer, 16) : 0));
    }
    EXPECT_EQ(got, "Fresh");
}

}  // namespace
}  // namespace zorvik::testing
