// Listening on an open port for the device's Ready banner, for the commands that keep watch on a
// port rather than poll it the way one exchange does.
#pragma once

#include <cstdint>
#include <functional>

#include "serial/Clock.h"
#include "serial/ComPort.h"

namespace zorvik {

// A device that has refused a password ignores the line until the host has been silent this long.
// Reopening the port wakes it at once, except where it cannot see the port (a three-wire cable):
// there no banner comes before this has passed.
constexpr int kRefusalSilenceMs = 3000;

constexpr int kListenPollMs = 20;     // between the listener's reads
constexpr int kListenReadCount = 64;  // characters taken per read

// Whether a whole "Ready" arrives within `windowMicros`, reading every `pollMs`. A banner split
// between two reads still counts; what the first read finds, which had arrived before, does not.
// `stop`, when it says so, ends the wait early with false.
[[nodiscard]] bool ListenForReady(TCustomComPort& port, Clock& clock, std::int64_t windowMicros,
                                  int pollMs, const std::function<bool()>& stop = {});

}  // namespace zorvik
