// The Windows port's errors: each number GetLastError gives, classified and worded as on Linux.
#include <gtest/gtest.h>

#include "cli/PortError.h"
#include "serial/PortFault.h"
#include "serial/SerialPort.h"

namespace zorvik {
namespace {

struct WindowsErrorRow {
    int code;      // the layer's code
    int winError;  // what GetLastError gave
    PortFault fault;
    int status;  // zorvik-cli's exit status
    const char* said;
};

TEST(WindowsPortErrors, EachIsClassifiedAndWordedAsItsLinuxCounterpart) {
    const WindowsErrorRow rows[] = {
        {1, 2, PortFault::NoDevice, 3, "COM7: no such port"},         // ERROR_FILE_NOT_FOUND
        {1, 3, PortFault::NoDevice, 3, "COM7: no such port"},         // ERROR_PATH_NOT_FOUND
        {1, 5, PortFault::Busy, 3, "COM7: port is busy"},             // ERROR_ACCESS_DENIED
        {1, 32, PortFault::Busy, 3, "COM7: port is busy"},            // ERROR_SHARING_VIOLATION
        {1, 1, PortFault::NotSerial, 3, "COM7: not a serial port"},   // ERROR_INVALID_FUNCTION
        {1, 50, PortFault::NotSerial, 3, "COM7: not a serial port"},  // ERROR_NOT_SUPPORTED
        {7, 87, PortFault::SettingsRefused, 3, "refused the line settings"},
        {9, 1167, PortFault::DeviceGone, 4, "the device went away"},  // DEVICE_NOT_CONNECTED
        {3, 5, PortFault::DeviceGone, 4, "the device went away"},     // a pulled adapter's read
        {2, 995, PortFault::DeviceGone, 4, "the device went away"},   // OPERATION_ABORTED
        {10, 22, PortFault::DeviceGone, 4, "the device went away"},   // ERROR_BAD_COMMAND
        {10, 21, PortFault::DeviceGone, 4, "the device went away"},  // NOT_READY: Wine, pty hung up
        {5, 31, PortFault::DeviceGone, 4, "the device went away"},   // ERROR_GEN_FAILURE
        {1, 1450, PortFault::Other, 3, "COM7: "},                    // no resources
    };
    for (const WindowsErrorRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.code) + "/" + std::to_string(row.winError));
        EComPort error(row.code, row.winError);
        error.SetPort("COM7");
        EXPECT_EQ(ClassifyPortFault(error), row.fault);
        const cli::CliError worded = cli::DescribePortError(error, "COM7");
        EXPECT_EQ(static_cast<int>(worded.Code()), row.status);
        EXPECT_NE(std::string(worded.what()).find(row.said), std::string::npos) << worded.what();
    }
}

TEST(WindowsPortErrors, AnAbsentPortFailsToOpenWithFileNotFoundAndStaysClosed) {
    // COM49: a name the system does not have; COM199: no port name at all.
    for (const char* name : {"COM49", "COM199"}) {
        TComPort port(PortMap(), name);
        try {
            port.Open();
            ADD_FAILURE() << name << " opened";
        } catch (const EComPort& error) {
            EXPECT_STREQ(error.what(), "Unable to open com port (Error: 2)");
            EXPECT_EQ(error.Port(), name);
        }
        EXPECT_FALSE(port.Connected());
    }
}

}  // namespace
}  // namespace zorvik
