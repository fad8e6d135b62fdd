// Listening on an open port for the device's Ready banner.
#include "device/ReadyListener.h"

#include <string>

#include "device/DeviceExchange.h"

namespace zorvik {

bool ListenForReady(TCustomComPort& port, Clock& clock, std::int64_t windowMicros, int pollMs,
                    const std::function<bool()>& stop) {
    const std::int64_t start = clock.NowMicros();
    std::string seen;
    bool first = true;
    while (!stop || !stop()) {
        clock.Sleep(pollMs);
        std::string text;
        (void)port.ReadStr(text, kListenReadCount);
        if (first) {
            // What had arrived when listening began is of unknown age: a network serial server
            // hands over a banner it held since before the connection. The command byte that
            // follows a stale banner can meet the device's next one, whose "R" would read as a
            // refused password.
            first = false;
            continue;
        }
        seen += text;
        if (seen.find(kReadyBanner) != std::string::npos) {
            return true;
        }
        // Only a banner's beginning can still grow into one.
        if (seen.size() >= kReadyBanner.size()) {
            seen.erase(0, seen.size() - (kReadyBanner.size() - 1));
        }
        if (clock.NowMicros() - start >= windowMicros) {
            return false;
        }
    }
    return false;
}

}  // namespace zorvik
