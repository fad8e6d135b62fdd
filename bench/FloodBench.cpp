// bench-flood: zorvik-cli `read` against network serial servers that flood it, each case run as
// the program, printing how long it took to give up and the most memory it held. The memory is
// the point: run it on the release build, where no sanitizer adds memory of its own.
//
// Usage: bench-flood
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "tests/support/HostileServer.h"

namespace zorvik {
namespace {

constexpr long kMemoryLimitKiB = 50 * 1024;  // whatever a server sends
constexpr double kTimeLimitSeconds = 10.0;   // the slowest bound of an exchange, and then some

// Telnet and RFC 2217 bytes.
constexpr std::uint8_t IAC = 0xFF, DO = 0xFD, WILL = 0xFB, SB = 0xFA, SE = 0xF0;
constexpr std::uint8_t kComPort = 44, kTerminalType = 24, kNotifyModemState = 107;

struct Case {
    const char* name;
    const char* scheme;
    std::vector<std::uint8_t> first;
    std::vector<std::uint8_t> repeated;
};

}  // namespace
}  // namespace zorvik

int main() {
    using namespace zorvik;
    const std::vector<std::uint8_t> agree = {IAC, DO, kComPort, IAC, WILL, kComPort};
    const Case cases[] = {
        {"escaped 0xFF data", "rfc2217://", agree, {IAC, IAC}},
        {"WILL offers", "rfc2217://", {}, {IAC, WILL, kTerminalType}},
        {"small subnegotiations",
         "rfc2217://",
         agree,
         {IAC, SB, kComPort, kNotifyModemState, 0, IAC, SE}},
        {"raw bytes", "socket://", {}, {'x'}},
    };
    std::printf("%-24s %8s %7s %12s\n", "server floods with", "status", "seconds", "peak RSS MiB");
    bool fine = true;
    for (const Case& c : cases) {
        testing::HostileServer server(testing::HostileServer::Flood(c.first, c.repeated));
        const bench::ChildRun run =
            bench::RunChild({ZORVIK_CLI_PROGRAM, "read", "-p", server.Address(c.scheme), "--text"});
        const double seconds = static_cast<double>(run.wallMicros) / 1e6;
        std::printf("%-24s %8d %7.2f %12.1f\n", c.name, run.status, seconds,
                    static_cast<double>(run.residentKiB) / 1024);
        fine = fine && run.residentKiB < kMemoryLimitKiB && seconds < kTimeLimitSeconds &&
               run.status != 0;
    }
    std::printf("%s: every flood ended with an error, under %ld MiB and %.0f s\n",
                fine ? "PASS" : "FAIL", kMemoryLimitKiB / 1024, kTimeLimitSeconds);
    return fine ? 0 : 1;
}
