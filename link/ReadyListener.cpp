// Listening on an open port for the device's Ready banner.
#include "link/ReadyListener.h"

#include <string>

#include "link/DeviceExchange.h"

namespace zorvik {

bool ListenForReady(TCustomComPort& port, Clock& clock, std::int64_t windowMicros, int pollMs,
                    const std::function<bool()>& stop) {
    const std::int64_t start = clock.NowMicros();
    std::string seen;
    while (!stop || !stop()) {
        clock.Sleep(pollMs);
        std::string text;
        (void)port.ReadStr(text, kListenReadCount);
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
