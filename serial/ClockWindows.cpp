// Real-time pauses on Windows, each at least as long as it asks and not a timer tick longer.
#include "serial/Clock.h"

#include <windows.h>

#include <timeapi.h>

#include <algorithm>

#include "serial/TimerPeriod.h"

namespace zorvik {

namespace {

std::int64_t PerformanceMicros() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER count{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&count);
    const std::int64_t perSecond = frequency.QuadPart;
    return count.QuadPart / perSecond * 1'000'000 +
           count.QuadPart % perSecond * 1'000'000 / perSecond;
}

}  // namespace

TimerPeriodCalls SystemTimerPeriodCalls() {
    return {[](unsigned period) -> unsigned { return ::timeBeginPeriod(period); },
            [](unsigned period) -> unsigned { return ::timeEndPeriod(period); }};
}

FineTimerPeriod::FineTimerPeriod(TimerPeriodCalls calls)
    : calls_(calls), raised_(calls_.begin(kFineTimerPeriodMs) == 0) {}

FineTimerPeriod::~FineTimerPeriod() {
    if (raised_) {
        (void)calls_.end(kFineTimerPeriodMs);
    }
}

void SystemClock::Sleep(int ms) {
    const std::int64_t length = std::int64_t{std::max(ms, 0)} * 1000;
    if (length == 0) {
        return;
    }
    // Each pause is measured from its own start, on the performance counter; the finer timer
    // period, held for the pause alone, keeps each wake-up within a millisecond of its time.
    const std::int64_t deadline = PerformanceMicros() + length;
    const FineTimerPeriod fine;
    for (;;) {
        const std::int64_t left = deadline - PerformanceMicros();
        if (left <= 0) {
            return;
        }
        const std::int64_t slice = std::min(left, kRepaintSliceMicros);
        ::Sleep(static_cast<DWORD>((slice + 999) / 1000));
        if (slice < left) {
            WhileWaiting();
        }
    }
}

std::int64_t SystemClock::NowMicros() {
    return PerformanceMicros();
}

}  // namespace zorvik
