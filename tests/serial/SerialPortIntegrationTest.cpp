// The Linux serial port over real ptys: open and close, non-waiting reads, writes, hang-ups.
#include "serial/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/SimProcess.h"
#include "tests/support/TempTree.h"

namespace zorvik {
namespace {

using testing::TempTree;
using Bytes = std::vector<std::uint8_t>;

// The device's side of a pty: its master, raw; the port opens the slave.
class Pty {
public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            ADD_FAILURE() << "no pty";
            return;
        }
        std::array<char, 128> name{};
        if (::ptsname_r(master_, name.data(), name.size()) != 0) {
            ADD_FAILURE() << "no pty name";
        }
        slave_ = name.data();
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
    }
    ~Pty() { HangUp(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    [[nodiscard]] const std::string& Slave() const { return slave_; }

    void Send(const Bytes& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                pollfd room{master_, POLLOUT, 0};
                ASSERT_GT(::poll(&room, 1, 2000), 0) << "pty master cannot take more";
            }
        }
    }
    void Send(const std::string& text) const { Send(Bytes(text.begin(), text.end())); }

    // What the port sent, up to `count` bytes, waiting at most `timeoutMs` for them.
    [[nodiscard]] Bytes Receive(std::size_t count, int timeoutMs = 2000) const {
        Bytes got;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::array<std::uint8_t, 4096> chunk{};
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd input{master_, POLLIN, 0};
            if (::poll(&input, 1, 10) <= 0) {
                continue;
            }
            const ssize_t n =
                ::read(master_, chunk.data(), std::min(chunk.size(), count - got.size()));
            if (n > 0) {
                got.insert(got.end(), chunk.begin(), chunk.begin() + n);
            }
        }
        return got;
    }

    // In packet mode every read starts with a status byte, which tells of the port's flushes.
    void PacketMode() const {
        int on = 1;
        ASSERT_EQ(::ioctl(master_, TIOCPKT, &on), 0);
    }

    struct Packets {
        int flushes = 0;  // TIOCPKT_FLUSHREAD and TIOCPKT_FLUSHWRITE seen
        Bytes data;
    };
    // Everything waiting on the device side, in packet mode.
    [[nodiscard]] Packets TakePackets() const {
        Packets taken;
        std::array<std::uint8_t, 4097> chunk{};
        for (;;) {
            const ssize_t n = ::read(master_, chunk.data(), chunk.size());
            if (n <= 0) {
                return taken;
            }
            if (chunk[0] == TIOCPKT_DATA) {
                taken.data.insert(taken.data.end(), chunk.begin() + 1, chunk.begin() + n);
            } else {
                taken.flushes |= chunk[0] & (TIOCPKT_FLUSHREAD | TIOCPKT_FLUSHWRITE);
            }
        }
    }

    // The device goes away: the port's side is hung up.
    void HangUp() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

private:
    int master_ = -1;
    std::string slave_;
};

// Waits until at least `count` bytes are queued for reading on `fd`.
bool WaitQueued(int fd, int count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline) {
        int queued = 0;
        if (::ioctl(fd, FIONREAD, &queued) == 0 && queued >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

std::string Text(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Ptys registered as COM41 and COM42 in a private link folder.
class PtyPort : public ::testing::Test {
protected:
    PtyPort() {
        tree_.Link("links/COM41", first_.Slave());
        tree_.Link("links/COM42", second_.Slave());
    }

    // Expects `action` to raise EComPort with `code` and `winCode`, and gives its text.
    template <typename Action>
    std::string Raised(Action action, int code, int winCode) {
        try {
            action();
        } catch (const EComPort& error) {
            EXPECT_EQ(error.Code(), code);
            EXPECT_EQ(error.WinCode(), winCode);
            return error.what();
        }
        ADD_FAILURE() << "nothing raised";
        return {};
    }

    TempTree tree_;
    Pty first_;
    Pty second_;
    PortMap map_ = tree_.Map();
};

TEST_F(PtyPort, OpenWhenOpenAndCloseWhenClosedDoNothing) {
    TComPort port(map_, "COM41");
    EXPECT_EQ(port.Handle(), -1);
    port.Close();
    port.Open();
    ASSERT_TRUE(port.Connected());
    const int handle = port.Handle();
    EXPECT_GE(handle, 0);
    port.Open();
    EXPECT_EQ(port.Handle(), handle);
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Handle(), -1);
    port.Close();
    EXPECT_FALSE(port.Connected());
}

TEST_F(PtyPort, EveryNameRangeOpensAlike) {
    tree_.Link("dev/ttyS0", first_.Slave());     // COM1
    tree_.Link("dev/ttyUSB1", first_.Slave());   // COM10
    tree_.Link("dev/ttyACM15", first_.Slave());  // COM40
    for (const char* name : {"COM1", "COM10", "COM40", "COM41"}) {
        TComPort port(map_, name);
        port.Open();
        ASSERT_TRUE(port.Connected()) << name;
        first_.Send(name);
        ASSERT_TRUE(WaitQueued(port.Handle(), 1)) << name;
        std::string text;
        EXPECT_GT(port.ReadStr(text, 8), 0) << name;
        EXPECT_EQ(text, std::string(name).substr(0, text.size()));
    }
}

TEST_F(PtyPort, LineIsRaw57600EightNoneOneWithoutFlowControl) {
    TComPort port(map_, "COM41");
    port.Open();
    termios line{};
    ASSERT_EQ(::tcgetattr(port.Handle(), &line), 0);
    EXPECT_EQ(::cfgetispeed(&line), B57600);
    EXPECT_EQ(::cfgetospeed(&line), B57600);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS | HUPCL), 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);
}

TEST_F(PtyPort, MissingNameFailsWithNotFound) {
    for (const char* name : {"COM43", "COM9", "COM51", "LPT1", "com41"}) {
        TComPort port(map_, name);
        EXPECT_EQ(Raised([&] { port.Open(); }, 1, 2), "Unable to open com port (Error: 2)") << name;
        EXPECT_FALSE(port.Connected());
        EXPECT_EQ(port.Handle(), -1);
    }
}

TEST_F(PtyPort, PathThatIsNotATtyFailsAsOpenErrorAndLeaksNothing) {
    tree_.Link("links/COM45", "/dev/null");
    TComPort port(map_, "COM45");
    const int before = testing::OpenDescriptors();
    EXPECT_EQ(Raised([&] { port.Open(); }, 1, 25), "Unable to open com port (Error: 25)");
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Handle(), -1);
    EXPECT_EQ(testing::OpenDescriptors(), before);
}

TEST_F(PtyPort, LinkedPortInAFolderOthersCanChangeIsRefused) {
    ASSERT_EQ(::chmod(tree_.Links().c_str(), 0777), 0);
    TComPort port(map_, "COM41");
    // Refused as a matter of policy (EPERM), unlike a device that refuses this user (EACCES).
    EXPECT_EQ(Raised([&] { port.Open(); }, 1, 1), "Unable to open com port (Error: 1)");
    EXPECT_FALSE(port.Connected());
}

TEST_F(PtyPort, HeldPortCannotBeOpenedAgainUntilReleased) {
    const int before = testing::OpenDescriptors();
    {
        TComPort holder(map_, "COM41");
        holder.Open();
        TComPort second(map_, "COM41");
        try {
            second.Open();
            ADD_FAILURE() << "opened a held port";
        } catch (const EComPort& error) {
            EXPECT_EQ(error.Code(), 1);
            EXPECT_GT(error.WinCode(), 0);
        }
        EXPECT_FALSE(second.Connected());
        holder.Close();
        second.Open();
        EXPECT_TRUE(second.Connected());
    }  // destroying an open port closes it
    EXPECT_EQ(testing::OpenDescriptors(), before);
    TComPort again(map_, "COM41");
    again.Open();
    EXPECT_TRUE(again.Connected());
}

TEST_F(PtyPort, ExclusiveModeEndsWithThePortWhileOthersKeepTheTtyOpen) {
    // A simulator may hold the pty's slave side open all along; the tty's exclusive mode
    // must not outlive our port, or nobody but root could open it again.
    const int holder = ::open(first_.Slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    int exclusive = -1;
    TComPort port(map_, "COM41");
    port.Open();
    ASSERT_EQ(::ioctl(holder, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    port.Close();
    ASSERT_EQ(::ioctl(holder, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(holder);
}

TEST_F(PtyPort, ClosedPortRaisesPortNotOpen) {
    TComPort port(map_, "COM41");
    std::uint8_t byte = 0x41;
    std::string text = "x";
    EXPECT_EQ(Raised([&] { (void)port.Write(&byte, 1); }, 24, -1), "Port Not Open");
    EXPECT_EQ(Raised([&] { (void)port.Read(&byte, 1); }, 24, -1), "Port Not Open");
    EXPECT_EQ(Raised([&] { (void)port.ReadStr(text, 5); }, 24, -1), "Port Not Open");
}

TEST_F(PtyPort, ReadWithNothingQueuedReturnsEmptyAtOnce) {
    TComPort port(map_, "COM41");
    port.Open();
    std::array<std::uint8_t, 16> buffer{};
    std::string text = "stale";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(buffer.data(), static_cast<int>(buffer.size())), 0);
    EXPECT_EQ(port.ReadStr(text, 5), 0);
    EXPECT_EQ(text, "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST_F(PtyPort, PartialBannerIsReadNowAndTheRestNextTime) {
    TComPort port(map_, "COM41");
    port.Open();
    std::string text;
    first_.Send("Rea");
    ASSERT_TRUE(WaitQueued(port.Handle(), 3));
    EXPECT_EQ(port.ReadStr(text, 5), 3);
    EXPECT_EQ(text, "Rea");
    first_.Send("dy");
    ASSERT_TRUE(WaitQueued(port.Handle(), 2));
    EXPECT_EQ(port.ReadStr(text, 5), 2);
    EXPECT_EQ(text, "dy");
}

TEST_F(PtyPort, BytesBeyondTheCountStayQueued) {
    TComPort port(map_, "COM41");
    port.Open();
    first_.Send("Ready");
    ASSERT_TRUE(WaitQueued(port.Handle(), 5));
    std::string text;
    EXPECT_EQ(port.ReadStr(text, 3), 3);
    EXPECT_EQ(text, "Rea");
    EXPECT_EQ(port.ReadStr(text, 5), 2);
    EXPECT_EQ(text, "dy");
}

TEST_F(PtyPort, EveryByteValuePassesUnchangedBothWays) {
    TComPort port(map_, "COM41");
    port.Open();
    Bytes all(256);
    for (int i = 0; i < 256; ++i) {
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    }

    first_.Send(all);
    ASSERT_TRUE(WaitQueued(port.Handle(), 256));
    std::string text;
    ASSERT_EQ(port.ReadStr(text, 300), 256);
    EXPECT_EQ(text, Text(all));
    EXPECT_EQ(text[0], '\0');
    EXPECT_EQ(static_cast<unsigned char>(text[255]), 0xFF);

    EXPECT_EQ(port.Write(all.data(), 256), 256);
    EXPECT_EQ(first_.Receive(256), all);
}

TEST_F(PtyPort, LargeWriteCompletesWhileTheOtherSideDrains) {
    TComPort port(map_, "COM41");
    port.Open();
    Bytes block(200'000);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);
    }
    Bytes received;
    std::thread device([&] { received = first_.Receive(block.size(), 10'000); });
    EXPECT_EQ(port.Write(block.data(), static_cast<int>(block.size())), 200'000);
    device.join();
    EXPECT_EQ(received, block);
}

TEST_F(PtyPort, CloseDiscardsUnreadBytes) {
    TComPort port(map_, "COM41");
    port.Open();
    first_.Send("Ready");
    ASSERT_TRUE(WaitQueued(port.Handle(), 5));
    port.Close();
    port.Open();
    std::string text;
    EXPECT_EQ(port.ReadStr(text, 5), 0);
    first_.Send("O");
    ASSERT_TRUE(WaitQueued(port.Handle(), 1));
    EXPECT_EQ(port.ReadStr(text, 5), 1);
    EXPECT_EQ(text, "O");
}

TEST_F(PtyPort, OpenDiscardsBytesQueuedWhileClosed) {
    first_.Send("Ready");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    TComPort port(map_, "COM41");
    port.Open();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::string text;
    EXPECT_EQ(port.ReadStr(text, 5), 0);
    first_.Send("R");
    ASSERT_TRUE(WaitQueued(port.Handle(), 1));
    EXPECT_EQ(port.ReadStr(text, 5), 1);
    EXPECT_EQ(text, "R");
}

TEST_F(PtyPort, CloseAfterAWriteCutShortDiscardsTheUnsentOutputButANormalCloseLetsItGo) {
    first_.PacketMode();
    // A second descriptor on the tty fills the line's queue while the device side reads nothing.
    const int filler = ::open(first_.Slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(filler, 0);
    TComPort port(map_, "COM41");
    port.Open();
    (void)first_.TakePackets();
    // Filled until it stays full: the kernel moves queued bytes on a little later, making room.
    const Bytes chunk(4096, 0x55);
    for (int full = 0; full < 10;) {
        if (::write(filler, chunk.data(), chunk.size()) > 0) {
            full = 0;
        } else {
            ++full;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    const std::uint8_t closing = 0x41;
    EXPECT_EQ(port.Write(&closing, 1), 0) << "cut short by the write timeout";
    const auto start = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_NE(first_.TakePackets().flushes & TIOCPKT_FLUSHWRITE, 0)
        << "the unsent output is discarded, not drained";

    // A write that went out whole is delivered after the close that follows it.
    port.Open();
    (void)first_.TakePackets();
    EXPECT_EQ(port.Write(&closing, 1), 1);
    port.Close();
    const Pty::Packets normal = first_.TakePackets();
    EXPECT_EQ(normal.flushes & TIOCPKT_FLUSHWRITE, 0);
    EXPECT_EQ(normal.data, Bytes{0x41});
    ::close(filler);
}

TEST_F(PtyPort, WaitForInputReportsArrivalWithoutConsumingIt) {
    TComPort port(map_, "COM41");
    port.Open();
    EXPECT_FALSE(port.WaitForInput(20));
    EXPECT_FALSE(port.WaitForInput(-5));
    std::thread device([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        first_.Send("K");
    });
    EXPECT_TRUE(port.WaitForInput(2000));
    device.join();
    std::string text;
    EXPECT_EQ(port.ReadStr(text, 5), 1);
    EXPECT_EQ(text, "K");
}

TEST_F(PtyPort, HungUpOtherSideRaisesInsteadOfReadingNothing) {
    TComPort port(map_, "COM41");
    port.Open();
    first_.HangUp();
    std::uint8_t byte = 0x41;
    std::string text;
    const std::string read = Raised([&] { (void)port.ReadStr(text, 5); }, 3, 5);
    EXPECT_EQ(read, "ReadFile function failed (Error: 5)");
    EXPECT_EQ(Raised([&] { (void)port.Write(&byte, 1); }, 2, 5),
              "WriteFile function failed (Error: 5)");
    EXPECT_EQ(Raised([&] { (void)port.WaitForInput(1000); }, 3, 5),
              "ReadFile function failed (Error: 5)");
    // Closing a port whose device has gone is not an error.
    EXPECT_TRUE(port.Connected());
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Handle(), -1);
}

TEST_F(PtyPort, RenamingAnOpenPortReopensUnderTheNewName) {
    TComPort port(map_, "COM41");
    port.Open();
    port.SetPort("COM42");
    EXPECT_EQ(port.Port(), "COM42");
    ASSERT_TRUE(port.Connected());
    second_.Send("B");
    ASSERT_TRUE(WaitQueued(port.Handle(), 1));
    std::string text;
    EXPECT_EQ(port.ReadStr(text, 5), 1);
    EXPECT_EQ(text, "B");
    // The old port was let go.
    TComPort other(map_, "COM41");
    other.Open();
    EXPECT_TRUE(other.Connected());
}

TEST_F(PtyPort, RenamingToTheSameNameLeavesThePortAsItWas) {
    TComPort port(map_, "COM41");
    port.Open();
    const int handle = port.Handle();
    first_.Send("R");
    ASSERT_TRUE(WaitQueued(handle, 1));
    port.SetPort("COM41");
    EXPECT_EQ(port.Handle(), handle);
    std::string text;
    EXPECT_EQ(port.ReadStr(text, 5), 1);  // a reopen would have discarded it
    EXPECT_EQ(text, "R");
}

TEST_F(PtyPort, RenamingAClosedPortOpensNothing) {
    TComPort port(map_, "COM41");
    port.SetPort("COM43");
    EXPECT_EQ(port.Port(), "COM43");
    EXPECT_FALSE(port.Connected());
}

TEST_F(PtyPort, ProbeAndListingOpenNoDevice) {
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, first_.Slave().c_str(), IN_OPEN), 0);
    std::array<char, 4096> events{};

    EXPECT_TRUE(ProbeComPort(map_, 41));
    std::vector<std::string> list;
    ListSerialPorts(map_, list);
    EXPECT_EQ(list, (std::vector<std::string>{"COM41", "COM42"}));
    EXPECT_LT(::read(watch, events.data(), events.size()), 0) << "the probe opened the device";

    // The watch does see an open.
    TComPort port(map_, "COM41");
    port.Open();
    EXPECT_GT(::read(watch, events.data(), events.size()), 0);
    ::close(watch);
}

}  // namespace
}  // namespace zorvik
