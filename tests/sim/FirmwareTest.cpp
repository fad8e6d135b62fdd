// Firmware programming and verification against the device model, host side written out by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/sim/SimTestSupport.h"

namespace zorvik::testing {
namespace {

Bytes FirmwareFile(int records) {
    Bytes file(static_cast<std::size_t>(records) * 257);
    for (std::size_t i = 0; i < file.size(); ++i) {
        file[i] = static_cast<std::uint8_t>((i * 7 + 13 + i / 257) & 0xFF);
    }
    return file;
}

// The programming phase as the host runs it, after the banner: answers every letter at once
// and returns the letters seen. `last` is the continuation byte after the final record.
std::string Program(TestLine& line, const Bytes& file, std::uint8_t last) {
    line.Write(0x00);
    std::string letters;
    std::size_t record = 0;
    while (line.port.WaitForInput(5000)) {
        std::string got;
        (void)line.port.ReadStr(got, 1);
        if (got.empty()) {
            continue;
        }
        letters += got;
        const std::size_t base = record * 257;
        if (got == "y") {
            for (std::size_t i = 0; i < 256; ++i) {
                line.Write(file[base + i]);
            }
        } else if (got == "s") {
            line.Write(file[base + 256]);
        } else if (got == "c") {
            ++record;
            const bool more = record * 257 < file.size();
            line.Write(more ? 0x00 : last);
            if (!more) {
                break;
            }
        } else if (got == "E") {
            break;
        }
    }
    return letters;
}

// The verification phase as the host runs it; true when every page matched (then 0x4F is sent).
bool Verify(TestLine& line, const Bytes& file) {
    if (!line.WaitReady()) {
        return false;
    }
    line.Write(0x01);
    for (std::size_t base = 0; base < file.size(); base += 257) {
        line.Write(0x4E);
        line.clock.Sleep(52);
        Bytes page(256);
        const int got = line.port.Read(page.data(), 256);
        if (got < 256 || !std::equal(page.begin(), page.end(), file.begin() + base)) {
            line.Write(0x45);
            return false;
        }
    }
    line.Write(0x4F);
    return true;
}

TEST(FirmwareUpdate, ProgramsAndVerifiesPagesWithTheLettersInOrder) {
    TestLine line;
    const Bytes file = FirmwareFile(3);
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    EXPECT_EQ(Program(line, file, 0x01), "yscyscysc");
    EXPECT_TRUE(Verify(line, file));
    line.Write(0x02);
    line.port.Close();

    const auto& flash = line.device.Flash();
    ASSERT_EQ(flash.size(), 61680U);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), flash.begin()));
    EXPECT_TRUE(
        std::all_of(flash.begin() + 771, flash.end(), [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(line.device.ProgrammedPages(), 3);
    EXPECT_TRUE(line.device.ResetRequested());
    EXPECT_EQ(line.device.TakeLog(),
              std::vector<std::string>{"firmware: 3 pages programmed, verified, reset"});
}

TEST(FirmwareUpdate, ContinuationTwoEndsProgrammingAndTheResetByteRestarts) {
    TestLine line;
    const Bytes file = FirmwareFile(2);
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    EXPECT_EQ(Program(line, file, 0x02), "yscysc");
    // No banner while the device waits for a possible reset byte.
    EXPECT_EQ(line.Poll(1000, 100), "");
    line.Write(0x02);
    EXPECT_TRUE(line.device.ResetRequested());
    EXPECT_EQ(line.Poll(400, 100), "Ready");
    EXPECT_EQ(line.device.TakeLog(),
              std::vector<std::string>{"firmware: 2 pages programmed, reset"});
}

TEST(FirmwareUpdate, WithoutResetTheRunEndsWhenThePortCloses) {
    TestLine line;
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    ASSERT_EQ(Program(line, FirmwareFile(1), 0x01), "ysc");
    ASSERT_TRUE(Verify(line, FirmwareFile(1)));
    line.port.Close();
    EXPECT_FALSE(line.device.ResetRequested());
    EXPECT_EQ(line.device.TakeLog(),
              std::vector<std::string>{"firmware: 1 pages programmed, verified"});
    EXPECT_EQ(line.device.FirmwareUpdates(), 1);
}

TEST(FirmwareUpdate, HostsMismatchByteIsLoggedAsAFailedVerification) {
    TestLine line;
    const Bytes file = FirmwareFile(2);
    Bytes other = file;
    other[257 + 5] ^= 0x10;
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    ASSERT_EQ(Program(line, file, 0x01), "yscysc");
    EXPECT_FALSE(Verify(line, other));
    line.port.Close();
    EXPECT_EQ(
        line.device.TakeLog(),
        std::vector<std::string>{"firmware: 2 pages programmed, verification failed at page 1"});
}

TEST(FirmwareUpdate, ThePagesTwoHundredAndFiftySeventhByteIsStoredButNotSentBack) {
    TestLine line;
    const Bytes file = FirmwareFile(1);
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    ASSERT_EQ(Program(line, file, 0x01), "ysc");
    EXPECT_EQ(line.device.Flash()[256], file[256]);
    ASSERT_TRUE(line.WaitReady());
    line.Write(0x01);
    line.Write(0x4E);
    EXPECT_EQ(line.Poll(52, 1000).size(), 256U);
}

TEST(FirmwareUpdate, ProgrammingErasesTheOldFirmwareFirst) {
    TestLine line;
    line.device.LoadFlash(Bytes(61680, 0x00));
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    ASSERT_EQ(Program(line, FirmwareFile(1), 0x02), "ysc");
    const auto& flash = line.device.Flash();
    EXPECT_TRUE(
        std::all_of(flash.begin() + 257, flash.end(), [](std::uint8_t b) { return b == 0xFF; }));
}

TEST(FirmwareUpdate, AnImageLongerThanTheFlashIsRefusedAtPage241) {
    TestLine line;
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    const std::string letters = Program(line, FirmwareFile(241), 0x02);
    ASSERT_EQ(letters.size(), 240U * 3 + 1);
    EXPECT_EQ(letters.back(), 'E');
    EXPECT_EQ(line.device.ProgrammedPages(), 240);
}

TEST(FirmwareUpdate, VerificationAloneReadsBackTheLoadedFlash) {
    TestLine line;
    const Bytes file = FirmwareFile(2);
    line.device.LoadFlash(file);
    line.port.Open();
    EXPECT_TRUE(Verify(line, file));
    line.port.Close();
    EXPECT_EQ(line.device.TakeLog(),
              std::vector<std::string>{"firmware: 2 pages read back, host found them equal"});
}

TEST(FirmwareFaults, RejectCommandAnswersTheCommandByteWithE) {
    TestLine line({.firmwareRejectCommand = true});
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    EXPECT_EQ(Program(line, FirmwareFile(2), 0x01), "E");
}

TEST(FirmwareFaults, ErrorAfterPageSendsEInsteadOfTheNextRequest) {
    TestLine line({.firmwareErrorAfterPage = 1});
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    EXPECT_EQ(Program(line, FirmwareFile(3), 0x01), "yscyscE");
}

TEST(FirmwareFaults, StrayLettersComeBetweenTheRequests) {
    TestLine line({.firmwareStrayLetters = true});
    const Bytes file = FirmwareFile(2);
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    std::string letters = Program(line, file, 0x02);
    EXPECT_EQ(letters.size(), 12U);
    std::erase_if(letters, [](char c) { return c == 'x' || c == '?' || c == 'Y'; });
    EXPECT_EQ(letters, "yscysc");
    EXPECT_TRUE(std::equal(file.begin(), file.end(), line.device.Flash().begin()));
}

TEST(FirmwareFaults, SilentAfterPageSendsNothingUntilThePortIsReopened) {
    TestLine line({.firmwareSilentAfterPage = 0});
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    EXPECT_EQ(Program(line, FirmwareFile(3), 0x01), "ysc");
    // Not even a banner: a "y" in it would pass for a page request.
    EXPECT_FALSE(line.port.WaitForInput(20'000));
    line.port.Close();
    line.port.Open();
    EXPECT_TRUE(line.WaitReady());
}

TEST(FirmwareFaults, NoVerifyBannerLeavesTheHostWaitingForReady) {
    TestLine line({.firmwareNoVerifyBanner = true});
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    ASSERT_EQ(Program(line, FirmwareFile(1), 0x01), "ysc");
    EXPECT_FALSE(line.WaitReady());
}

TEST(FirmwareFaults, CorruptPageDiffersInOneByteOnReadBack) {
    TestLine line({.firmwareCorruptPage = 1});
    const Bytes file = FirmwareFile(3);
    line.port.Open();
    ASSERT_TRUE(line.WaitReady());
    ASSERT_EQ(Program(line, file, 0x01), "yscyscysc");
    ASSERT_TRUE(line.WaitReady());
    line.Write(0x01);
    for (std::size_t page = 0; page < 3; ++page) {
        line.Write(0x4E);
        line.clock.Sleep(52);
        Bytes got(256);
        ASSERT_EQ(line.port.Read(got.data(), 256), 256);
        int differences = 0;
        for (std::size_t i = 0; i < 256; ++i) {
            differences += got[i] != file[page * 257 + i] ? 1 : 0;
        }
        EXPECT_EQ(differences, page == 1 ? 1 : 0) << page;
    }
}

}  // namespace
}  // namespace zorvik::testing
