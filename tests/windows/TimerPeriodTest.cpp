// The Windows clock's finer timer period: asked for while a pause runs, and given back.
#include <gtest/gtest.h>

#include <vector>

#include "serial/TimerPeriod.h"

namespace zorvik {
namespace {

std::vector<std::string> gCalls;
unsigned gBeginResult = 0;

TimerPeriodCalls Recorded() {
    return {[](unsigned period) {
                gCalls.push_back("begin " + std::to_string(period));
                return gBeginResult;
            },
            [](unsigned period) {
                gCalls.push_back("end " + std::to_string(period));
                return 0u;
            }};
}

TEST(FineTimerPeriod, AsksForOneMillisecondAndGivesItBackOnlyWhenGranted) {
    for (const unsigned result : {0u, 97u}) {  // TIMERR_NOERROR, TIMERR_NOCANDO
        gCalls.clear();
        gBeginResult = result;
        {
            const FineTimerPeriod fine(Recorded());
            EXPECT_EQ(fine.Raised(), result == 0);
        }
        const std::vector<std::string> expected = result == 0
                                                      ? std::vector<std::string>{"begin 1", "end 1"}
                                                      : std::vector<std::string>{"begin 1"};
        EXPECT_EQ(gCalls, expected);
    }
}

}  // namespace
}  // namespace zorvik
