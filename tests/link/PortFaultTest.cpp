// The cause of a port error, told from its code, error number and port name.
#include <gtest/gtest.h>

#include <cerrno>

#include "link/PortFault.h"

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

}  // namespace
}  // namespace zorvik::testing
