// Port autodetection.
#include "device/Autodetect.h"

#include "device/DeviceExchange.h"
#include "serial/PortMap.h"

namespace zorvik {

namespace {

// A port that failed after the search opened it would otherwise stay open: the next port's
// name change would then reopen the port under that name and skip it unread, and the search
// would end with a port open. A failing close changes nothing more.
void CloseAfterFailure(TCustomComPort& port) {
    try {
        port.Close();
    } catch (const EComPort&) {
    }
}

}  // namespace

bool ListenForBanner(TCustomComPort& port, Clock& clock) {
    port.Open();
    std::string text;
    try {
        for (int pause = 0; pause < kScanSettlePauses; ++pause) {
            clock.Sleep(kScanSettlePauseMs);
        }
        (void)port.ReadStr(text, kScanReadCount);
        clock.Sleep(kScanAfterReadMs);
        port.Close();
    } catch (const EComPort&) {
        CloseAfterFailure(port);
        throw;
    }
    return text == kReadyBanner;
}

std::optional<std::string> ScanForDevice(TCustomComPort& port, Clock& clock,
                                         const AutodetectHooks& hooks) {
    for (int number = kFirstComPort; number <= kLastComPort; ++number) {
        if (!hooks.probe || !hooks.probe(number)) {
            continue;
        }
        try {
            port.SetPort(ComPortName(number));
            if (hooks.showPortName) {
                hooks.showPortName(port.Port());
            }
            if (port.Connected()) {
                continue;
            }
            if (ListenForBanner(port, clock)) {
                return port.Port();
            }
        } catch (const EComPort&) {
            // Typically a port that another program holds: passed over without a word.
        }
    }
    return std::nullopt;
}

std::optional<std::string> Autodetect(TCustomComPort& port, Clock& clock, Notices& notices,
                                      const AutodetectHooks& hooks) {
    std::optional<std::string> found = ScanForDevice(port, clock, hooks);
    if (!found) {
        // Told to the user alone: no port is open by now, and a trace follows one exchange.
        notices.Notify(AutodetectOutcome::NotFound, nullptr);
    }
    return found;
}

}  // namespace zorvik
