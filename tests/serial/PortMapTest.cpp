// Port names to devices: the fixed ranges, presence without opening, the sorted listing.
#include "serial/PortMap.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TempTree.h"

namespace zorvik {
namespace {

using testing::TempTree;

TEST(PortMapRanges, NumbersMapOntoFixedDeviceRanges) {
    const PortMap map(PortMap::Roots{"/D", "/S", "/L"});
    EXPECT_EQ(map.DevicePath(1), "/D/ttyS0");
    EXPECT_EQ(map.DevicePath(8), "/D/ttyS7");
    EXPECT_EQ(map.DevicePath(9), "/D/ttyUSB0");
    EXPECT_EQ(map.DevicePath(24), "/D/ttyUSB15");
    EXPECT_EQ(map.DevicePath(25), "/D/ttyACM0");
    EXPECT_EQ(map.DevicePath(40), "/D/ttyACM15");
    EXPECT_EQ(map.DevicePath(41), "/L/COM41");
    EXPECT_EQ(map.DevicePath(50), "/L/COM50");
    EXPECT_EQ(map.DevicePath("COM7"), "/D/ttyS6");
    EXPECT_EQ(map.DevicePath("COM10"), "/D/ttyUSB1");
}

TEST(PortMapRanges, NumbersOutsideOneToFiftyHaveNoPath) {
    const PortMap map(PortMap::Roots{"/D", "/S", "/L"});
    for (int number : {-1, 0, 51, 256}) {
        EXPECT_EQ(map.DevicePath(number), std::nullopt) << number;
    }
}

TEST(PortMapRanges, OnlyWellFormedComNamesHaveAPath) {
    const PortMap map(PortMap::Roots{"/D", "/S", "/L"});
    for (const char* name : {"COM0", "COM51", "COM07", "com7", "COM", "COM7 ", " COM7", "LPT1",
                             "COM-1", "COM+7", "COM1x", "/dev/ttyS0", ""}) {
        EXPECT_EQ(map.DevicePath(name), std::nullopt) << '"' << name << '"';
    }
}

TEST(PortMapRanges, LinkedNamesHaveNoPathWithoutALinkFolder) {
    const PortMap map(PortMap::Roots{"/D", "/S", ""});
    EXPECT_EQ(map.DevicePath(41), std::nullopt);
    EXPECT_EQ(map.DevicePath(40), "/D/ttyACM15");
    EXPECT_FALSE(map.Present(41));
}

class PortPresence : public ::testing::Test {
protected:
    TempTree tree_;
};

TEST_F(PortPresence, UartCountsOnlyWithANonZeroSysfsTypeAndANode) {
    tree_.Uart(0, "/dev/null", "4\n");               // a 16550A
    tree_.Uart(1, "/dev/null", "0\n");               // an 8250 slot with no chip
    tree_.Link("dev/ttyS2", "/dev/null");            // no sysfs entry at all
    tree_.Write("sys/class/tty/ttyS3/type", "4\n");  // no node
    tree_.Uart(4, "/dev/null", "unknown\n");
    tree_.Uart(7, "/dev/null", "1");
    const PortMap map = tree_.Map();
    EXPECT_TRUE(map.Present(1));
    EXPECT_FALSE(map.Present(2));
    EXPECT_FALSE(map.Present(3));
    EXPECT_FALSE(map.Present(4));
    EXPECT_FALSE(map.Present(5));
    EXPECT_TRUE(map.Present(8));
}

TEST_F(PortPresence, UsbAndAcmNodesCountWhenTheyExistAsDevices) {
    tree_.Link("dev/ttyUSB0", "/dev/null");
    tree_.Link("dev/ttyUSB15", "/dev/null");
    tree_.Link("dev/ttyACM0", "/dev/null");
    tree_.Link("dev/ttyACM15", "/dev/null");
    // A plain file left behind by writing to an absent adapter is not a port.
    tree_.Write("dev/ttyUSB1", "junk");
    tree_.Link("dev/ttyACM1", tree_.Dev() + "/gone");
    const PortMap map = tree_.Map();
    EXPECT_TRUE(map.Present(9));
    EXPECT_TRUE(map.Present(24));
    EXPECT_TRUE(map.Present(25));
    EXPECT_TRUE(map.Present(40));
    EXPECT_FALSE(map.Present(10));
    EXPECT_FALSE(map.Present(26));
    EXPECT_FALSE(map.Present(11));
}

TEST_F(PortPresence, LinkCountsOnlyWhenItLeadsToACharacterDevice) {
    tree_.Link("links/COM41", "/dev/null");
    tree_.Write("links/COM42", "not a device");
    tree_.Link("links/COM43", tree_.Root() + "/nowhere");
    tree_.Link("links/COM44", tree_.Dev());
    tree_.Link("links/COM50", "/dev/null");
    const PortMap map = tree_.Map();
    EXPECT_TRUE(map.Present(41));
    EXPECT_FALSE(map.Present(42));
    EXPECT_FALSE(map.Present(43));
    EXPECT_FALSE(map.Present(44));
    EXPECT_FALSE(map.Present(45));
    EXPECT_TRUE(map.Present(50));
    EXPECT_EQ(map.LinkFolderError(), 0);
}

TEST_F(PortPresence, LinksInAFolderOthersCanChangeAreNotFollowed) {
    tree_.Link("links/COM41", "/dev/null");
    ASSERT_EQ(::chmod(tree_.Links().c_str(), 0777), 0);
    EXPECT_FALSE(tree_.Map().Present(41));
    EXPECT_EQ(tree_.Map().LinkFolderError(), EACCES);

    ASSERT_EQ(::chmod(tree_.Links().c_str(), 0700), 0);
    ASSERT_EQ(::chmod(tree_.Root().c_str(), 0777), 0);  // the parent could swap the folder
    EXPECT_FALSE(tree_.Map().Present(41));
    ASSERT_EQ(::chmod(tree_.Root().c_str(), 0700), 0);
    EXPECT_TRUE(tree_.Map().Present(41));

    // A folder that is itself a link could be redirected by whoever owns its target's parent.
    tree_.Link("redirect", tree_.Links());
    const PortMap redirected(PortMap::Roots{tree_.Dev(), tree_.Sys(), tree_.Root() + "/redirect"});
    EXPECT_FALSE(redirected.Present(41));
    EXPECT_NE(redirected.LinkFolderError(), 0);
}

TEST_F(PortPresence, MissingLinkFolderMeansNoLinkedPorts) {
    const PortMap map(PortMap::Roots{tree_.Dev(), tree_.Sys(), tree_.Root() + "/absent"});
    EXPECT_EQ(map.LinkFolderError(), ENOENT);
    EXPECT_FALSE(map.Present(41));
}

TEST_F(PortPresence, ProbeAnswersAsPresenceAndNeverForOtherNumbers) {
    tree_.Uart(2, "/dev/null", "4");
    tree_.Link("dev/ttyUSB0", "/dev/null");
    const PortMap map = tree_.Map();
    EXPECT_TRUE(ProbeComPort(map, 3));
    EXPECT_TRUE(ProbeComPort(map, 9));
    EXPECT_FALSE(ProbeComPort(map, 1));
    EXPECT_FALSE(ProbeComPort(map, 0));
    EXPECT_FALSE(ProbeComPort(map, 51));
}

TEST_F(PortPresence, ListingIsSortedIgnoringCaseAndReplacesTheList) {
    tree_.Uart(2, "/dev/null", "4");         // COM3
    tree_.Link("dev/ttyUSB1", "/dev/null");  // COM10
    tree_.Uart(0, "/dev/null", "4");         // COM1
    tree_.Link("links/COM41", "/dev/null");
    std::vector<std::string> list{"stale", "COM99"};
    ListSerialPorts(tree_.Map(), list);
    EXPECT_EQ(list, (std::vector<std::string>{"COM1", "COM10", "COM3", "COM41"}));
}

TEST_F(PortPresence, NoPortsGivesAnEmptyList) {
    std::vector<std::string> list{"COM1"};
    ListSerialPorts(tree_.Map(), list);
    EXPECT_TRUE(list.empty());
}

// Restores XDG_RUNTIME_DIR after a test changes it.
class RuntimeDirEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* value = std::getenv("XDG_RUNTIME_DIR")) {
            saved_ = value;
        }
    }
    void TearDown() override {
        if (saved_) {
            ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }

private:
    std::optional<std::string> saved_;
};

TEST_F(RuntimeDirEnvironment, PortFolderLiesInTheRuntimeFolder) {
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    EXPECT_EQ(PortMap::UserPortFolder(), "/run/user/1000/zorvik-gsm/ports");
}

TEST_F(RuntimeDirEnvironment, PortFolderFallsBackToTmpPerUser) {
    const std::string fallback = "/tmp/zorvik-gsm-" + std::to_string(::getuid()) + "/ports";
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(PortMap::UserPortFolder(), fallback);
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_EQ(PortMap::UserPortFolder(), fallback);
    ::setenv("XDG_RUNTIME_DIR", "relative/dir", 1);
    EXPECT_EQ(PortMap::UserPortFolder(), fallback);
}

}  // namespace
}  // namespace zorvik
