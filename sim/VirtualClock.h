// Time for tests: pauses advance a counter at once instead of blocking.
#pragma once

#include <cstdint>

#include "serial/Clock.h"

namespace zorvik {

class VirtualClock : public Clock {
public:
    // Advances virtual time by `ms` (nothing for zero or less) and counts it as slept.
    void Sleep(int ms) override;
    [[nodiscard]] std::int64_t NowMicros() override;

    // Moves time forward without counting it as a pause (the port's wait for input does this).
    void AdvanceMicros(std::int64_t us);

    // Sum of every Sleep so far: the least time the host's protocol could take on a real line.
    [[nodiscard]] std::int64_t TotalSleptMicros() const { return slept_; }

private:
    std::int64_t now_ = 0;
    std::int64_t slept_ = 0;
};

}  // namespace zorvik
