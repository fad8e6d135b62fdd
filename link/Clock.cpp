// Real-time pauses to absolute deadlines.
#include "link/Clock.h"

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

// Longest stretch slept without calling WhileWaiting, so a window can keep painting.
constexpr std::int64_t kRepaintSliceMicros = 20'000;

// Largest gap between two pauses that still counts as one run of pauses.
constexpr std::int64_t kChainGapMicros = 1'000;

}  // namespace

void SystemClock::Sleep(int ms) {
    const std::int64_t now = MonotonicMicros();
    const std::int64_t length = std::int64_t{std::max(ms, 0)} * 1000;
    // A pause that starts right after the previous one ended continues that pause's schedule,
    // so the scheduler's overshoot is paid once per run of pauses, not once per pause. After
    // any real work or a gap, the pause is measured from now.
    std::int64_t deadline = now + length;
    if (length > 0 && now - lastDeadline_ < kChainGapMicros) {
        deadline = lastDeadline_ + length;
    }
    lastDeadline_ = deadline;

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
