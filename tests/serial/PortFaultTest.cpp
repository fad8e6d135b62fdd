// The cause of a port error, told from its code, error number and port name.
#include <gtest/gtest.h>

#include <cerrno>

#include "serial/PortFault.h"

namespace zorvik::testing {
namespace {

struct FaultCase {
    int code;
    int error;
    const char* port;
    PortFault expected;
};

TEST(ClassifyPortFault, TellsEachCauseApartByCodeErrorNumberAndPortName) {
    // Codes restated: 1 open, 2 write, 3 read, 5 purge, 7 line settings, 8 timeouts, 24 not open.
    const FaultCase cases[] = {
        {1, ENOENT, "COM9", PortFault::NoDevice},
        {1, ENODEV, "COM1", PortFault::NoDevice},
        {1, ENOENT, "COM51", PortFault::NoDevice},
        {1, ENOENT, "COM41", PortFault::NoLinkedDevice},
        {1, ENXIO, "COM50", PortFault::NoLinkedDevice},
        {1, EPERM, "COM41", PortFault::LinkFolderRefused},
        {1, ENOTDIR, "COM45", PortFault::LinkFolderRefused},
        {1, EACCES, "COM41", PortFault::AccessDenied},  // the device behind a good link
        {1, EACCES, "COM9", PortFault::AccessDenied},
        {1, EPERM, "COM25", PortFault::AccessDenied},
        {1, EACCES, "", PortFault::AccessDenied},
        {1, EBUSY, "COM9", PortFault::Busy},
        {1, EWOULDBLOCK, "COM42", PortFault::Busy},
        {1, ENOTTY, "COM43", PortFault::NotSerial},
        {7, EINVAL, "COM9", PortFault::SettingsRefused},
        {8, EINVAL, "COM9", PortFault::SettingsRefused},
        {7, EIO, "COM9", PortFault::DeviceGone},
        {2, EIO, "COM9", PortFault::DeviceGone},
        {3, EIO, "COM41", PortFault::DeviceGone},
        {3, ENXIO, "COM10", PortFault::DeviceGone},
        {5, ENODEV, "COM10", PortFault::DeviceGone},
        {2, EINVAL, "COM9", PortFault::Other},
        {24, -1, "COM9", PortFault::NotOpen},
    };
    for (const FaultCase& c : cases) {
        EXPECT_EQ(ClassifyPortFault(c.code, c.error, c.port), c.expected)
            << "code " << c.code << ", error " << c.error << ", " << c.port;
        EComPort raised(c.code, c.error);
        raised.SetPort(c.port);
        EXPECT_EQ(ClassifyPortFault(raised), c.expected) << "the same from the error itself";
    }
}

TEST(ClassifyPortFault, NetworkPortsAndMissingLinkTargetsHaveCausesOfTheirOwn) {
    const auto network = [](int code, int error, const char* port) {
        EComPort raised(code, error);
        raised.SetPort(port);
        raised.SetAddress("rfc2217://pi.local:2217");
        return ClassifyPortFault(raised);
    };
    EXPECT_EQ(network(1, ENXIO, "COM43"), PortFault::UnknownHost);
    EXPECT_EQ(network(1, ECONNREFUSED, "COM43"), PortFault::ConnectionRefused);
    EXPECT_EQ(network(1, ETIMEDOUT, "rfc2217://pi.local:2217"), PortFault::ConnectionTimedOut);
    EXPECT_EQ(network(3, EIO, "COM43"), PortFault::ConnectionLost);
    EXPECT_EQ(network(2, EIO, "COM43"), PortFault::ConnectionLost);
    EXPECT_EQ(network(7, EINVAL, "COM43"), PortFault::SerialControlRefused);
    EXPECT_EQ(network(7, ETIMEDOUT, "COM43"), PortFault::SerialControlRefused);
    EXPECT_EQ(network(3, ENOBUFS, "COM43"), PortFault::Flooded);
    EXPECT_EQ(ClassifyPortFault(1, ECONNREFUSED, "socket://10.0.0.2:4001"),
              PortFault::ConnectionRefused);

    EComPort stale(1, ENOENT);
    stale.SetPort("COM42");
    stale.SetMissingTarget("/dev/serial/by-id/usb-FTDI_A1B2C3-if00-port0");
    EXPECT_EQ(ClassifyPortFault(stale), PortFault::LinkTargetMissing);
}

TEST(KnownHolderOf, NamesTheProgramsThatTakeSerialAdaptersByThemselves) {
    EXPECT_EQ(KnownHolderOf({"ModemManager", 812}), KnownHolder::ModemManager);
    EXPECT_EQ(KnownHolderOf({"brltty", 955}), KnownHolder::Brltty);
    EXPECT_EQ(KnownHolderOf({"minicom", 4242}), KnownHolder::Other);
}

}  // namespace
}  // namespace zorvik::testing
