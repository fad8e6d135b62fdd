// The one source of time for every pause of every device exchange, so tests can run on virtual
// time.
#pragma once

#include <cstdint>

namespace zorvik {

// Longest stretch a system clock sleeps without calling WhileWaiting, so a window can keep
// painting.
constexpr std::int64_t kRepaintSliceMicros = 20'000;

class Clock {
public:
    virtual ~Clock() = default;

    // Blocks the caller for at least `ms` milliseconds (the device protocol's pauses).
    virtual void Sleep(int ms) = 0;

    // Monotonic time in microseconds; only differences mean anything.
    [[nodiscard]] virtual std::int64_t NowMicros() = 0;
};

// Real time. Each pause sleeps to an absolute deadline counted from its own start, with a tight
// timer slack, so 52 pauses of 1 ms take 52 ms plus only the scheduler's small lateness.
class SystemClock : public Clock {
public:
    void Sleep(int ms) override;
    [[nodiscard]] std::int64_t NowMicros() override;

protected:
    // Called while a pause waits, at most every few milliseconds; the window uses it to repaint.
    virtual void WhileWaiting() {}
};

}  // namespace zorvik
