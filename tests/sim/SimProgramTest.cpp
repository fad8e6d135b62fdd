// zorvik-sim as a program: over a real pty, on real time, opened the way the configurator does.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "config/Crc8.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::int64_t NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1'000'000;
}

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string ReadFileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The host's end, opened as the configurator's port layer does: raw, then both queues flushed.
class HostPort {
public:
    explicit HostPort(const std::string& path) { Open(path); }
    ~HostPort() { Close(); }

    void Open(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) {
            return;
        }
        termios settings{};
        tcgetattr(fd_, &settings);
        cfmakeraw(&settings);
        cfsetispeed(&settings, B57600);
        cfsetospeed(&settings, B57600);
        tcsetattr(fd_, TCSANOW, &settings);
        tcflush(fd_, TCIOFLUSH);
    }

    // Only the input is flushed: flushing the output of a pty also throws away what the host
    // wrote and the simulator has not read yet, such as the closing byte.
    void Close() {
        if (fd_ >= 0) {
            tcdrain(fd_);
            tcflush(fd_, TCIFLUSH);
            close(fd_);
            fd_ = -1;
        }
    }

    [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }

    void Write(const Bytes& bytes) {
        ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // What has arrived, at most `count` bytes, without waiting.
    Bytes Read(std::size_t count) {
        Bytes bytes(count);
        const ssize_t got = read(fd_, bytes.data(), count);
        bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return bytes;
    }

    // Reads until `count` bytes have come or `ms` have passed.
    Bytes ReadFor(std::size_t count, int ms) {
        Bytes bytes;
        const std::int64_t end = NowMs() + ms;
        while (bytes.size() < count && NowMs() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(end - NowMs())) > 0) {
                const Bytes got = Read(count - bytes.size());
                bytes.insert(bytes.end(), got.begin(), got.end());
                if (got.empty()) {
                    break;
                }
            }
        }
        return bytes;
    }

    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

const Bytes kReady = {'R', 'e', 'a', 'd', 'y'};

Bytes DefaultAuthBlock() {
    return {0x00, 0x39, 0x34, 0x36, 0x36, 0x13, 0xF9, 0xE3, 0x8D, 0, 0, 0, 0, 0, 0, 0, 0};
}

TEST(SimProgram, RegistersAPortThatAnswersAReadExchangeAndRemovesItOnSigterm) {
    SimProcess sim(ZORVIK_SIM_PROGRAM);
    ASSERT_EQ(sim.Name(), "COM41");
    ASSERT_EQ(fs::read_symlink(sim.LinkPath()).string(), sim.PtyPath());

    HostPort host(sim.LinkPath());
    ASSERT_TRUE(host.IsOpen());
    const std::int64_t opened = NowMs();
    EXPECT_EQ(host.ReadFor(5, 700), kReady);
    EXPECT_LT(NowMs() - opened, 700);

    host.Write({0x03});
    SleepMs(25);
    host.Write(DefaultAuthBlock());
    EXPECT_EQ(host.ReadFor(1, 2500), Bytes{'O'});
    host.Write({0x01});
    SleepMs(52);
    Bytes block = host.Read(300);
    if (block.size() < 257) {  // a loaded machine may be late; the block must still come whole
        const Bytes rest = host.ReadFor(257 - block.size(), 500);
        block.insert(block.end(), rest.begin(), rest.end());
    }
    ASSERT_EQ(block.size(), 257U);
    EXPECT_EQ(ComputeImageChecksum(std::span<const std::uint8_t, 256>(block.data(), 256)),
              block[256]);
    host.Write({0x41});
    host.Close();

    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(sim.LinkPath())));
    EXPECT_NE(ReadFileText(sim.LogPath()).find("read image: ok"), std::string::npos)
        << ReadFileText(sim.LogPath());
}

TEST(SimProgram, TakesTheAccessPasswordFromTheFirstLineOfAFile) {
    const std::string file =
        fs::temp_directory_path() / ("zorvik-sim-pw-" + std::to_string(::getpid()));
    { std::ofstream(file) << "1234\r\nnot this\n"; }
    SimProcess sim(ZORVIK_SIM_PROGRAM, {"--password-file", file});
    fs::remove(file);
    ASSERT_FALSE(sim.Name().empty());
    HostPort host(sim.LinkPath());
    ASSERT_EQ(host.ReadFor(5, 700), kReady);
    host.Write({0x03});
    SleepMs(25);
    host.Write(DefaultAuthBlock());  // signed with 9466, which the file replaced
    EXPECT_EQ(host.ReadFor(1, 2500), Bytes{'R'});
}

TEST(SimProgram, ReopeningThePortReturnsTheDeviceToIdle) {
    SimProcess sim(ZORVIK_SIM_PROGRAM);
    ASSERT_FALSE(sim.Name().empty());
    HostPort host(sim.LinkPath());
    ASSERT_EQ(host.ReadFor(5, 700), kReady);
    host.Write({0x03});  // the device now waits for an authentication block, without banners
    SleepMs(50);
    host.Close();
    host.Open(sim.LinkPath());
    // Only the reopening (seen as the host's flush) brings the banner back this soon.
    EXPECT_EQ(host.ReadFor(5, 700), kReady);
}

TEST(SimProgram, FirmwareUpdateLeavesTheFlashAndOneLatencyLinePerLetter) {
    TempFolder files;
    ASSERT_TRUE(files.IsValid());
    SimProcess sim(ZORVIK_SIM_PROGRAM, {"--firmware-out", files.PathOf("flash.bin"),
                                        "--latency-report", files.PathOf("latency.txt")});
    ASSERT_FALSE(sim.Name().empty());
    HostPort host(sim.LinkPath());
    ASSERT_EQ(host.ReadFor(5, 700), kReady);

    Bytes file(2 * 257);
    for (std::size_t i = 0; i < file.size(); ++i) {
        file[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);
    }
    host.Write({0x00});
    std::string letters;
    std::size_t record = 0;
    while (letters.size() < 6) {
        const Bytes got = host.ReadFor(1, 2000);
        ASSERT_EQ(got.size(), 1U) << "after " << letters;
        letters += static_cast<char>(got[0]);
        if (got[0] == 'y') {
            host.Write(Bytes(file.begin() + static_cast<std::ptrdiff_t>(record * 257),
                             file.begin() + static_cast<std::ptrdiff_t>(record * 257 + 256)));
        } else if (got[0] == 's') {
            host.Write({file[record * 257 + 256]});
        } else if (got[0] == 'c') {
            ++record;
            host.Write({static_cast<std::uint8_t>(record < 2 ? 0x00 : 0x02)});
        }
    }
    EXPECT_EQ(letters, "yscysc");
    host.Close();  // ends the update

    const std::int64_t end = NowMs() + 2000;
    while (!fs::exists(files.PathOf("latency.txt")) && NowMs() < end) {
        SleepMs(10);
    }
    const std::string flash = ReadFileText(files.PathOf("flash.bin"));
    EXPECT_EQ(flash, std::string(file.begin(), file.end()));
    std::istringstream report(ReadFileText(files.PathOf("latency.txt")));
    std::string reportLetters;
    char letter = 0;
    long micros = -1;
    while (report >> letter >> micros) {
        reportLetters += letter;
        EXPECT_GE(micros, 0);
    }
    EXPECT_EQ(reportLetters, "yscysc");
}

TEST(SimProgram, UnplugClosesTheLineAndRemovesTheLink) {
    SimProcess sim(ZORVIK_SIM_PROGRAM, {"--unplug-after", "0.3"});
    ASSERT_FALSE(sim.Name().empty());
    HostPort host(sim.LinkPath());
    ASSERT_TRUE(host.IsOpen());
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(sim.LinkPath())));
    // The host's end is hung up: reads report the end or an error, never data.
    pollfd p{host.fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 1000), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
}

}  // namespace
}  // namespace zorvik::testing
