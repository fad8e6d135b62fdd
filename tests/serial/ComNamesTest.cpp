// COM names as a user writes them, and when two of them are one port: the same on every platform.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "serial/PortMap.h"

namespace zorvik {
namespace {

TEST(ComNames, AnyCaseAndWindowsOwnNameGiveTheNumberAndNothingElseDoes) {
    const struct {
        const char* name;
        std::optional<int> number;
    } rows[] = {
        {"COM5", 5},
        {"com5", 5},
        {"cOm50", 50},
        {"\\\\.\\COM5", 5},
        {"\\\\.\\com1", 1},
        {"COM0", {}},
        {"COM51", {}},
        {"COM05", {}},
        {"\\\\.\\", {}},
        {"\\\\?\\COM5", {}},
        {"\\\\.\\\\\\.\\COM5", {}},
        {"\\\\.\\LPT1", {}},
        {"CO", {}},
        {"/dev/ttyS0", {}},
        {"", {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PortMap::GivenComNumber(row.name), row.number) << row.name;
    }
}

TEST(ComNames, OnePortHoweverItsNameIsWrittenAndNeverTwoNumbersOrAddresses) {
    // No device folder: only the names can tell.
    const PortMap map(PortMap::Roots{"/nonexistent", "/nonexistent", ""});
    const struct {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"COM5", "com5", true},
        {"COM5", "\\\\.\\COM5", true},
        {"\\\\.\\com12", "Com12", true},
        {"COM5", "COM6", false},
        {"COM1", "COM10", false},
        {"rfc2217://host:2217", "rfc2217://host:2217", false},  // its own open says
        {"COM5", "COM05", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(map.SamePort(row.a, row.b), row.same) << row.a << " and " << row.b;
        EXPECT_EQ(map.SamePort(row.b, row.a), row.same) << row.b << " and " << row.a;
    }
}

}  // namespace
}  // namespace zorvik
