// Time for tests: pauses advance a counter at once instead of blocking.
#include "sim/VirtualClock.h"

namespace zorvik {

void VirtualClock::Sleep(int ms) {
    if (ms <= 0) {
        return;
    }
    const std::int64_t length = std::int64_t{ms} * 1000;
    now_ += length;
    slept_ += length;
}

std::int64_t VirtualClock::NowMicros() {
    return now_;
}

void VirtualClock::AdvanceMicros(std::int64_t us) {
    if (us > 0) {
        now_ += us;
    }
}

}  // namespace zorvik
