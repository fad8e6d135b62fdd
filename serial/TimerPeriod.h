// Windows wakes a sleeping thread on its timer's tick, often 15.6 ms: a pause of 1 ms lasts a
// whole tick, and the 52 pauses of a block 0.8 s, unless a finer period is asked for meanwhile.
#pragma once

namespace zorvik {

// The finest period Windows gives, in milliseconds.
constexpr unsigned kFineTimerPeriodMs = 1;

// The calls that raise the system timer's resolution and give it back (timeBeginPeriod and
// timeEndPeriod); each returns 0 on success. A test passes its own.
struct TimerPeriodCalls {
    unsigned (*begin)(unsigned periodMs);
    unsigned (*end)(unsigned periodMs);
};

[[nodiscard]] TimerPeriodCalls SystemTimerPeriodCalls();

// Holds the timer at kFineTimerPeriodMs while it lives; Windows counts the requests, so pauses
// and ports may each hold one. Without the finer period the pauses are only longer.
class FineTimerPeriod {
public:
    explicit FineTimerPeriod(TimerPeriodCalls calls = SystemTimerPeriodCalls());
    ~FineTimerPeriod();
    FineTimerPeriod(const FineTimerPeriod&) = delete;
    FineTimerPeriod& operator=(const FineTimerPeriod&) = delete;

    [[nodiscard]] bool Raised() const { return raised_; }

private:
    TimerPeriodCalls calls_;
    bool raised_;
};

}  // namespace zorvik
