// Real-time pauses, each at least as long as it asks.
#include "serial/Clock.h"

#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <cerrno>

namespace zorvik {

namespace {

std::int64_t MonotonicMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000 + ts.tv_nsec / 1000;
}

// Timer slack asked of the kernel while a pause sleeps. The default (50 us) lets every wake-up
// come that much late, which 52 pauses of 1 ms would pay 52 times over.
constexpr unsigned long kPauseTimerSlackNanos = 1'000;

// Asks for a tight timer slack for the length of one pause and restores the thread's own after.
class TightTimerSlack {
public:
    TightTimerSlack() : previous_(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0)) {
        if (previous_ > 0 && static_cast<unsigned long>(previous_) != kPauseTimerSlackNanos) {
            (void)::prctl(PR_SET_TIMERSLACK, kPauseTimerSlackNanos, 0, 0, 0);
        } else {
            previous_ = -1;
        }
    }
    ~TightTimerSlack() {
        if (previous_ > 0) {
            (void)::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previous_), 0, 0, 0);
        }
    }
    TightTimerSlack(const TightTimerSlack&) = delete;
    TightTimerSlack& operator=(const TightTimerSlack&) = delete;

private:
    int previous_;
};

}  // namespace

void SystemClock::Sleep(int ms) {
    const std::int64_t length = std::int64_t{std::max(ms, 0)} * 1000;
    if (length == 0) {
        return;
    }
    // Every pause is measured from its own start, so it lasts at least what it asks even right
    // after another one; the scheduler's lateness is kept small by the timer slack instead.
    const std::int64_t deadline = MonotonicMicros() + length;
    const TightTimerSlack slack;
    for (;;) {
        const std::int64_t left = deadline - MonotonicMicros();
        if (left <= 0) {
            return;
        }
        const std::int64_t slice = std::min(left, kRepaintSliceMicros);
        const std::int64_t wake = deadline - left + slice;
        timespec ts{static_cast<time_t>(wake / 1'000'000),
                    static_cast<long>(wake % 1'000'000) * 1000};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
        }
        if (wake < deadline) {
            WhileWaiting();
        }
    }
}

std::int64_t SystemClock::NowMicros() {
    return MonotonicMicros();
}

}  // namespace zorvik
