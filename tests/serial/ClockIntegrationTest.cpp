// Real-time pauses: each lasts at least what it asks, counted from its own start.
#include "serial/Clock.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace zorvik {
namespace {

using std::chrono::milliseconds;
using Steady = std::chrono::steady_clock;

class CountingClock : public SystemClock {
public:
    int waits = 0;

protected:
    void WhileWaiting() override { ++waits; }
};

TEST(SystemClockPauses, RunOfPausesLastsAtLeastTheirSum) {
    SystemClock clock;
    const auto start = Steady::now();
    for (int i = 0; i < 20; ++i) {
        clock.Sleep(2);
    }
    EXPECT_GE(Steady::now() - start, milliseconds(40));
}

TEST(SystemClockPauses, EveryPauseOfARunLastsAtLeastWhatItAsksFromItsOwnStart) {
    SystemClock clock;
    for (const int ms : {1, 25}) {
        for (int i = 0; i < (ms == 1 ? 200 : 10); ++i) {
            const auto start = Steady::now();
            clock.Sleep(ms);
            ASSERT_GE(Steady::now() - start, milliseconds(ms)) << "pause " << i << " of " << ms;
        }
    }
}

TEST(SystemClockPauses, PauseAfterOtherWorkCountsFromItsOwnStart) {
    SystemClock clock;
    clock.Sleep(10);
    std::this_thread::sleep_for(milliseconds(6));  // work between two pauses
    const auto start = Steady::now();
    clock.Sleep(10);
    EXPECT_GE(Steady::now() - start, milliseconds(10));
}

TEST(SystemClockPauses, ZeroAndNegativePausesReturnAtOnce) {
    SystemClock clock;
    const auto start = Steady::now();
    clock.Sleep(0);
    clock.Sleep(-100);
    EXPECT_LT(Steady::now() - start, milliseconds(5));
}

TEST(SystemClockPauses, LongPauseLetsTheWindowRepaintMeanwhile) {
    CountingClock clock;
    clock.Sleep(100);
    EXPECT_GE(clock.waits, 4);
}

}  // namespace
}  // namespace zorvik
