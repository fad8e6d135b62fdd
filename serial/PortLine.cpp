// The timing every kind of line shares.
#include "serial/PortLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace zorvik {

LineClock::time_point WriteDeadline(int count) {
    return LineClock::now() +
           std::chrono::milliseconds(std::int64_t{kWriteMsPerByte} * count + kWriteMsConstant);
}

int MsLeft(LineClock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - LineClock::now()).count();
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, INT32_MAX));
}

bool DeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

}  // namespace zorvik
