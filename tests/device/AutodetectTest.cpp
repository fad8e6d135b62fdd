// Port autodetection over several in-memory ports on the virtual clock: which ports are opened,
// what the selector shows, when the search ends and what it says.
#include "device/Autodetect.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <set>

#include "sim/DeviceModel.h"
#include "sim/MemoryComPort.h"
#include "sim/VirtualClock.h"
#include "tests/support/FakeNotices.h"

namespace zorvik::testing {
namespace {

using Log = std::vector<std::string>;

DeviceFaults Silent() {
    DeviceFaults faults;
    faults.noBanner = true;
    return faults;
}

// The window's port on "COM10", a line the search never probes, and the ports it may find.
struct ScanRig {
    ScanRig() {
        port.onWire = [this](const WireEvent& event) {
            switch (event.kind) {
                case WireEvent::Kind::Opened:
                    log.push_back("open " + event.port);
                    break;
                case WireEvent::Kind::Closed:
                    log.push_back("close " + event.port);
                    break;
                case WireEvent::Kind::HostToDevice:
                    log.push_back("host sent bytes");
                    break;
                case WireEvent::Kind::DeviceToHost:
                    log.push_back("read " + std::string(event.bytes.begin(), event.bytes.end()));
                    break;
            }
        };
        notices.onNotice = [this](const Notice& notice) { log.push_back(Told(notice)); };
    }

    // COMn exists, with a device behind it or as a silent line.
    void Present(int number, DeviceModel* device = nullptr) {
        port.AddPort("COM" + std::to_string(number), device);
        present.insert(number);
    }
    // COMn with a device that announces itself as the model does.
    void PresentWithDevice(int number, DeviceFaults faults = {}) {
        devices.push_back(std::make_unique<DeviceModel>(faults));
        Present(number, devices.back().get());
    }

    std::optional<std::string> Run() {
        AutodetectHooks hooks;
        hooks.probe = [this](int number) { return present.count(number) > 0; };
        hooks.showPortName = [this](const std::string& name) { log.push_back("selector " + name); };
        return Autodetect(port, clock, notices, hooks);
    }

    VirtualClock clock;
    DeviceModel unprobed{Silent()};
    MemoryComPort port{unprobed, clock, "COM10"};
    FakeNotices notices;
    std::set<int> present;
    std::vector<std::unique_ptr<DeviceModel>> devices;
    Log log;
};

const std::string kNotFound = Told(AutodetectOutcome::NotFound);

std::int64_t TimeOf(const MemoryComPort& port, WireEvent::Kind kind, const std::string& name) {
    for (const WireEvent& event : port.wire) {
        if (event.kind == kind && event.port == name) {
            return event.atMicros;
        }
    }
    return -1;
}

TEST(Autodetect, DeviceOnTheSecondPresentPortIsFoundWithoutAMessage) {
    ScanRig rig;
    rig.Present(1);
    rig.PresentWithDevice(4);
    rig.Present(7);

    EXPECT_EQ(rig.Run(), "COM4");
    EXPECT_EQ(rig.log, (Log{"selector COM1", "open COM1", "close COM1", "selector COM4",
                            "open COM4", "read Ready", "close COM4"}));
    EXPECT_EQ(rig.port.Port(), "COM4");
    EXPECT_FALSE(rig.port.Connected());
}

TEST(Autodetect, EachPortIsReadOnce700MsAfterOpeningAndClosed100MsLater) {
    ScanRig rig;
    rig.PresentWithDevice(2);
    (void)rig.Run();
    const std::int64_t opened = TimeOf(rig.port, WireEvent::Kind::Opened, "COM2");
    EXPECT_EQ(TimeOf(rig.port, WireEvent::Kind::DeviceToHost, "COM2") - opened, 700'000);
    EXPECT_EQ(TimeOf(rig.port, WireEvent::Kind::Closed, "COM2") - opened, 800'000);
}

TEST(Autodetect, NoDeviceShowsTheMessageAndLeavesTheLastPresentPortSelected) {
    ScanRig rig;
    rig.Present(1);
    rig.Present(2);
    rig.Present(6);

    EXPECT_FALSE(rig.Run().has_value());
    EXPECT_EQ(rig.log,
              (Log{"selector COM1", "open COM1", "close COM1", "selector COM2", "open COM2",
                   "close COM2", "selector COM6", "open COM6", "close COM6", kNotFound}));
    EXPECT_EQ(rig.port.Port(), "COM6");
}

TEST(Autodetect, NoPortAtAllShowsTheMessageAtOnceAndChangesNothing) {
    ScanRig rig;
    EXPECT_FALSE(rig.Run().has_value());
    EXPECT_EQ(rig.log, (Log{kNotFound}));
    EXPECT_EQ(rig.port.Port(), "COM10");
    EXPECT_EQ(rig.clock.NowMicros(), 0);
}

TEST(Autodetect, PortThatCannotBeOpenedIsPassedOverSilently) {
    ScanRig rig;
    rig.PresentWithDevice(3);
    rig.PresentWithDevice(5);
    rig.port.FailNextOpen(EBUSY);

    EXPECT_EQ(rig.Run(), "COM5");
    EXPECT_EQ(rig.log,
              (Log{"selector COM3", "selector COM5", "open COM5", "read Ready", "close COM5"}));
}

TEST(Autodetect, PortThatFailsWhileOpenIsClosedAndTheSearchGoesOn) {
    ScanRig rig;
    rig.PresentWithDevice(1);
    rig.PresentWithDevice(2);
    const auto log = rig.port.onWire;
    rig.port.onWire = [&rig, log](const WireEvent& event) {
        log(event);
        if (event.kind == WireEvent::Kind::Opened && event.port == "COM1") {
            rig.port.FailReadsAfter(0, EIO);  // until the port is opened again
        }
    };

    EXPECT_EQ(rig.Run(), "COM2");
    EXPECT_EQ(rig.log, (Log{"selector COM1", "open COM1", "close COM1", "selector COM2",
                            "open COM2", "read Ready", "close COM2"}));
    EXPECT_FALSE(rig.port.Connected());
}

TEST(Autodetect, OnlyAWholeBannerWithinSevenHundredMsCounts) {
    struct Row {
        int bannerDelayMs;
        bool found;
    };
    for (const Row row : {Row{600, true}, Row{690, true}, Row{800, false}}) {
        SCOPED_TRACE(row.bannerDelayMs);
        ScanRig rig;
        DeviceFaults late;
        late.bannerDelayMs = row.bannerDelayMs;
        rig.PresentWithDevice(1, late);
        EXPECT_EQ(rig.Run().has_value(), row.found);
        EXPECT_EQ(rig.notices.told.empty(), row.found);
    }
}

TEST(Autodetect, SecondSearchStartsAgainFromComOne) {
    ScanRig rig;
    rig.Present(1);
    rig.PresentWithDevice(2);
    ASSERT_EQ(rig.Run(), "COM2");
    rig.log.clear();

    EXPECT_EQ(rig.Run(), "COM2");
    EXPECT_EQ(rig.log, (Log{"selector COM1", "open COM1", "close COM1", "selector COM2",
                            "open COM2", "read Ready", "close COM2"}));
}

TEST(Autodetect, PortsAboveFiftyAreNeverProbed) {
    ScanRig rig;
    std::vector<int> asked;
    AutodetectHooks hooks;
    hooks.probe = [&asked](int number) {
        asked.push_back(number);
        return false;
    };
    (void)ScanForDevice(rig.port, rig.clock, hooks);
    ASSERT_EQ(asked.size(), 50u);
    EXPECT_EQ(asked.front(), 1);
    EXPECT_EQ(asked.back(), 50);
}

}  // namespace
}  // namespace zorvik::testing
