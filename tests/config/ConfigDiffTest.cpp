// The differences between two configuration values, as diff and the read-back after a write use
// them.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/ConfigDiff.h"

namespace zorvik {
namespace {

TEST(ConfigDiff, ListsTheChangedSettingsInImageOrderWithBothValues) {
    Configuration a;
    EXPECT_TRUE(Differences(a, a).empty());

    Configuration b = a;
    b.network = GsmNetwork::Roaming;
    b.reports.intervalHours = 10;
    const std::vector<Difference> d = Differences(a, b);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].key, "report.interval_hours");
    EXPECT_EQ(d[0].a, "12");
    EXPECT_EQ(d[0].b, "10");
    EXPECT_EQ(d[1].key, "gsm.network");
    EXPECT_EQ(d[1].a, "home_only");
    EXPECT_EQ(d[1].b, "roaming");
}

TEST(ConfigDiff, AReservedByteMissingOnOneSideReadsAsZero) {
    Configuration a;
    Configuration b = a;
    b.reserved[14] = 0xFF;
    for (const auto& [left, right] : {std::pair{a, b}, std::pair{b, a}}) {
        const std::vector<Difference> d = Differences(left, right);
        ASSERT_EQ(d.size(), 1u);
        EXPECT_EQ(d[0].key, "reserved.131");
        EXPECT_EQ(std::min(d[0].a, d[0].b), "0x00");
        EXPECT_NE(d[0].a, d[0].b);
    }
}

}  // namespace
}  // namespace zorvik
