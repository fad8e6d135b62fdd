// Port autodetection over real ptys registered as COM41 and up, with the real port and real time.
#include "device/Autodetect.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "serial/SerialPort.h"
#include "tests/support/FakeNotices.h"
#include "tests/support/TempTree.h"

namespace zorvik::testing {
namespace {

using SteadyClock = std::chrono::steady_clock;

// A pty standing in for a serial port. With a banner delay it plays a device that announces
// itself that long after each opening of the port (which the port layer marks by discarding its
// input); without one it is a silent line.
class PtyLine {
public:
    explicit PtyLine(std::optional<int> bannerDelayMs) : bannerDelayMs_(bannerDelayMs) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            ADD_FAILURE() << "no pty";
            return;
        }
        std::array<char, 128> name{};
        if (::ptsname_r(master_, name.data(), name.size()) != 0) {
            ADD_FAILURE() << "no pty name";
            return;
        }
        slavePath_ = name.data();
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        // Our own hold on the slave, so the master never sees a hang-up between the port's
        // openings; the port's flushes then show up as packet-mode status bytes.
        slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
        int on = 1;
        if (slave_ < 0 || ::ioctl(master_, TIOCPKT, &on) != 0) {
            ADD_FAILURE() << "pty not usable";
            return;
        }
        thread_ = std::thread([this] { Serve(); });
    }
    ~PtyLine() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (slave_ >= 0) {
            ::close(slave_);
        }
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    [[nodiscard]] const std::string& SlavePath() const { return slavePath_; }

private:
    void Serve() {
        std::optional<SteadyClock::time_point> bannerAt;
        std::array<std::uint8_t, 256> buffer{};
        while (!stop_) {
            pollfd input{master_, POLLIN, 0};
            if (::poll(&input, 1, 2) > 0 && (input.revents & POLLIN) != 0) {
                const ssize_t got = ::read(master_, buffer.data(), buffer.size());
                if (got > 0 && buffer[0] != TIOCPKT_DATA && (buffer[0] & TIOCPKT_FLUSHREAD) != 0 &&
                    bannerDelayMs_) {
                    bannerAt = SteadyClock::now() + std::chrono::milliseconds(*bannerDelayMs_);
                }
            }
            if (bannerAt && SteadyClock::now() >= *bannerAt) {
                bannerAt.reset();
                if (::write(master_, "Ready", 5) != 5) {
                    ADD_FAILURE() << "the banner could not be sent";
                }
            }
        }
    }

    std::optional<int> bannerDelayMs_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

constexpr int kDeviceBannerMs = 100;  // the device's usual first banner after an opening

// A port folder with lines registered as COMnn, the real port over it, and the search.
class PtyScan : public ::testing::Test {
protected:
    void AddLine(int number, std::optional<int> bannerDelayMs) {
        lines_.push_back(std::make_unique<PtyLine>(bannerDelayMs));
        tree_.Link("links/COM" + std::to_string(number), lines_.back()->SlavePath());
    }

    std::optional<std::string> Run() {
        AutodetectHooks hooks;
        hooks.probe = [this](int number) { return ProbeComPort(map_, number); };
        hooks.showPortName = [this](const std::string& name) { shown.push_back(name); };
        return Autodetect(port, clock, notices, hooks);
    }

    [[nodiscard]] const PortMap& Map() const { return map_; }

private:
    TempTree tree_;
    PortMap map_ = tree_.Map();
    std::vector<std::unique_ptr<PtyLine>> lines_;

protected:
    TComPort port{map_, "COM10"};
    SystemClock clock;
    FakeNotices notices;
    std::vector<std::string> shown;
};

const Notice kNotFound = AutodetectOutcome::NotFound;

TEST_F(PtyScan, DeviceOnTheSecondPresentPortIsFoundAgainByASecondSearchFromTheStart) {
    AddLine(41, std::nullopt);
    AddLine(42, kDeviceBannerMs);

    EXPECT_EQ(Run(), "COM42");
    EXPECT_EQ(Run(), "COM42");
    EXPECT_EQ(shown, (std::vector<std::string>{"COM41", "COM42", "COM41", "COM42"}));
    EXPECT_TRUE(notices.told.empty());
    EXPECT_EQ(port.Port(), "COM42");
    EXPECT_FALSE(port.Connected());
}

TEST_F(PtyScan, NoDeviceShowsTheMessageAndLeavesTheLastPresentPort) {
    AddLine(41, std::nullopt);
    AddLine(44, std::nullopt);

    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(notices.told, (std::vector<Notice>{kNotFound}));
    EXPECT_EQ(port.Port(), "COM44");
    EXPECT_FALSE(port.Connected());
}

TEST_F(PtyScan, NoPortAtAllShowsTheMessageAtOnce) {
    const auto start = SteadyClock::now();
    EXPECT_FALSE(Run().has_value());
    EXPECT_LT(SteadyClock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(notices.told, (std::vector<Notice>{kNotFound}));
    EXPECT_EQ(port.Port(), "COM10");
    EXPECT_TRUE(shown.empty());
}

TEST_F(PtyScan, PortHeldByAnotherOpenPortIsPassedOverSilently) {
    AddLine(41, kDeviceBannerMs);
    AddLine(42, kDeviceBannerMs);
    TComPort holder(Map(), "COM41");
    holder.Open();

    EXPECT_EQ(Run(), "COM42");
    EXPECT_EQ(shown, (std::vector<std::string>{"COM41", "COM42"}));
    EXPECT_TRUE(notices.told.empty());
    EXPECT_TRUE(holder.Connected());
}

TEST_F(PtyScan, BannerLaterThanSevenHundredMsIsNotFound) {
    AddLine(41, 900);

    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(notices.told, (std::vector<Notice>{kNotFound}));
}

}  // namespace
}  // namespace zorvik::testing
