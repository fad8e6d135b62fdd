// The firmware exchange against the device model and against scripted lines, on virtual time.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "device/FirmwareUpdate.h"
#include "files/FileError.h"
#include "sim/DeviceModel.h"
#include "sim/MemoryComPort.h"
#include "sim/VirtualClock.h"
#include "tests/support/FakeNotices.h"
#include "tests/support/FirmwareTestSupport.h"

namespace zorvik::testing {
namespace {

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// What the host sends in a programming phase that runs to its end: the command byte, then per
// record its 256 page bytes, its byte 256 and the continuation byte, `last` for the last record.
Bytes ProgrammingBytes(const Bytes& file, std::uint8_t last) {
    Bytes out = {0x00};
    const std::size_t records = file.size() / 257;
    for (std::size_t r = 0; r < records; ++r) {
        out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(r * 257),
                   file.begin() + static_cast<std::ptrdiff_t>(r * 257 + 257));
        out.push_back(r + 1 < records ? 0x00 : last);
    }
    return out;
}

// The device model on an in-memory line, recorded notices and a recording progress bar.
struct DeviceRig {
    explicit DeviceRig(DeviceFaults faults = {}) : device(faults), port(device, clock) {}

    FirmwareOutcome Run(const std::string& path, bool verify, bool reset) {
        FirmwareUpdate update(port, clock, notices, progress);
        return update.Run(path, {verify, reset});
    }

    std::string File(const Bytes& bytes) { return folder.Write("firmware.bin", bytes); }

    VirtualClock clock;
    DeviceModel device;
    MemoryComPort port;
    FakeNotices notices;
    RecordingProgress progress;
    TempFolder folder;
};

// A scripted device: "Ready" 100 ms after the port opens, then what each test adds.
struct ScriptRig {
    ScriptRig() : port(clock) {
        port.onOpen = [](ScriptedPort& line) { line.Arrive(100, "Ready"); };
    }

    FirmwareOutcome Run(const std::string& path, bool verify, bool reset) {
        FirmwareUpdate update(port, clock, notices, progress);
        return update.Run(path, {verify, reset});
    }

    VirtualClock clock;
    ScriptedPort port;
    FakeNotices notices;
    RecordingProgress progress;
    TempFolder folder;
};

TEST(FirmwareSequence, ThreeRecordsWithVerificationAndResetGoOverTheLineInTheDocumentedOrder) {
    DeviceRig rig;
    const Bytes file = FirmwareImage(3);
    EXPECT_EQ(rig.Run(rig.File(file), true, true), FirmwareOutcome::Done);

    EXPECT_EQ(rig.port.HostBytes(),
              Concat({ProgrammingBytes(file, 0x01), {0x01, 0x4E, 0x4E, 0x4E, 0x4F, 0x02}}));
    Bytes pages;
    for (int r = 0; r < 3; ++r) {
        pages.insert(pages.end(), file.begin() + r * 257, file.begin() + r * 257 + 256);
    }
    EXPECT_EQ(rig.port.DeviceBytes(), Concat({Text("Readyyscyscysc"), Text("Ready"), pages}));
    EXPECT_EQ(Bytes(rig.device.Flash().begin(), rig.device.Flash().begin() + 3 * 257), file);
    EXPECT_TRUE(rig.device.ResetRequested());

    // Success says nothing, and leaves the port closed and the bar hidden.
    EXPECT_TRUE(rig.notices.told.empty());
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_EQ(rig.port.wire.back().kind, WireEvent::Kind::Closed);
    EXPECT_FALSE(rig.progress.visible);
}

TEST(FirmwareSequence, EveryByteGoesInAWriteOfItsOwnAndEachLetterIsAnsweredTheMomentItArrives) {
    DeviceRig rig;
    EXPECT_EQ(rig.Run(rig.File(FirmwareImage(2)), true, false), FirmwareOutcome::Done);

    const std::vector<WireEvent>& wire = rig.port.wire;
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const WireEvent& event = wire[i];
        if (event.kind == WireEvent::Kind::HostToDevice) {
            EXPECT_EQ(event.bytes.size(), 1u) << "write " << i;
        }
        const bool letter =
            event.kind == WireEvent::Kind::DeviceToHost && event.bytes.size() == 1 &&
            std::string("ysc").find(static_cast<char>(event.bytes[0])) != std::string::npos;
        if (letter) {
            ASSERT_LT(i + 1, wire.size());
            EXPECT_EQ(wire[i + 1].kind, WireEvent::Kind::HostToDevice);
            EXPECT_EQ(wire[i + 1].atMicros, event.atMicros) << "letter at " << i;
        }
    }
}

TEST(FirmwareSequence, EachPageIsReadBack52MsAfterTheHostAsksForIt) {
    DeviceRig rig;
    EXPECT_EQ(rig.Run(rig.File(FirmwareImage(3)), true, false), FirmwareOutcome::Done);

    std::vector<std::int64_t> asked;
    std::vector<std::int64_t> read;
    int banners = 0;  // page bytes may be 0x4E too: count only after the second banner
    for (const WireEvent& event : rig.port.wire) {
        if (event.kind == WireEvent::Kind::DeviceToHost && event.bytes == Text("Ready")) {
            ++banners;
        }
        if (banners == 2 && event.kind == WireEvent::Kind::HostToDevice &&
            event.bytes == Bytes{0x4E}) {
            asked.push_back(event.atMicros);
        }
        if (event.kind == WireEvent::Kind::DeviceToHost && event.bytes.size() == 256) {
            read.push_back(event.atMicros);
        }
    }
    ASSERT_EQ(asked.size(), 3u);
    ASSERT_EQ(read.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read[i] - asked[i], 52'000);
    }
}

TEST(FirmwareSequence, OneRecordIsAnsweredAtItsContinuationWith01WhenVerifyingAnd02WhenNot) {
    for (const bool verify : {true, false}) {
        SCOPED_TRACE(verify ? "verify" : "no verify");
        DeviceRig rig;
        const Bytes file = FirmwareImage(1, 5);
        EXPECT_EQ(rig.Run(rig.File(file), verify, false), FirmwareOutcome::Done);
        const Bytes host = rig.port.HostBytes();
        ASSERT_GE(host.size(), 259u);
        EXPECT_EQ(host[0], 0x00);
        EXPECT_EQ(Bytes(host.begin() + 1, host.begin() + 258), file);
        EXPECT_EQ(host[258], verify ? 0x01 : 0x02);
        const Bytes device = rig.port.DeviceBytes();
        EXPECT_EQ(Bytes(device.begin(), device.begin() + 8), Text("Readyysc"));
    }
}

TEST(FirmwareSequence, TheLastBytesFollowTheTwoCheckBoxes) {
    struct Case {
        bool verify;
        bool reset;
        Bytes tail;  // everything after the programming phase's last page byte and byte 256
    };
    const Case cases[] = {
        {true, true, {0x01, 0x01, 0x4E, 0x4E, 0x4F, 0x02}},
        {true, false, {0x01, 0x01, 0x4E, 0x4E, 0x4F}},
        {false, true, {0x02, 0x02}},
        {false, false, {0x02}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(std::to_string(each.verify) + std::to_string(each.reset));
        DeviceRig rig;
        const Bytes file = FirmwareImage(2, 1);
        EXPECT_EQ(rig.Run(rig.File(file), each.verify, each.reset), FirmwareOutcome::Done);
        const Bytes host = rig.port.HostBytes();
        // 0x00, record 1 and its continuation, record 2: 1 + 258 + 257 bytes before the tail.
        ASSERT_EQ(host.size(), 516 + each.tail.size());
        EXPECT_EQ(Bytes(host.begin() + 516, host.end()), each.tail);
        EXPECT_EQ(rig.device.ResetRequested(), each.reset);
        EXPECT_TRUE(rig.notices.told.empty());
        EXPECT_FALSE(rig.port.Connected());
    }
}

// The programming command alone would erase the flash and leave the device without firmware.
TEST(FirmwareSequence, AnEmptyFileIsRefusedBeforeTheProgrammingCommand) {
    DeviceRig rig;
    const Bytes flash = FirmwareImage(240, 5);
    rig.device.LoadFlash(flash);
    EXPECT_EQ(rig.Run(rig.File({}), true, false), FirmwareOutcome::FileRefused);
    EXPECT_TRUE(rig.port.HostBytes().empty());
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareFileSize::Empty}));
    EXPECT_EQ(rig.device.Flash(), flash);
    EXPECT_FALSE(rig.port.Connected());
}

TEST(FirmwareSequence, AFullFlashOf240RecordsIsProgrammedAndVerified) {
    DeviceRig rig;
    const Bytes file = FirmwareImage(240, 9);
    ASSERT_EQ(file.size(), 61680u);
    EXPECT_EQ(rig.Run(rig.File(file), true, true), FirmwareOutcome::Done);
    EXPECT_EQ(rig.device.Flash(), file);
    EXPECT_EQ(rig.device.ProgrammedPages(), 240);
    EXPECT_TRUE(rig.notices.told.empty());
}

TEST(FirmwareProgressBar, ShowsEachPhaseFromZeroToTheFileSizeAndOnlyWhileItRuns) {
    DeviceRig rig;
    const Bytes file = FirmwareImage(3);
    // The bar must be hidden again before the verification's banner wait.
    bool hiddenAtSecondBanner = false;
    int banners = 0;
    rig.port.onWire = [&](const WireEvent& event) {
        if (event.kind == WireEvent::Kind::DeviceToHost && event.bytes == Text("Ready") &&
            ++banners == 2) {
            hiddenAtSecondBanner = !rig.progress.visible;
        }
    };
    EXPECT_EQ(rig.Run(rig.File(file), true, false), FirmwareOutcome::Done);

    ASSERT_EQ(rig.progress.phases.size(), 2u);
    // Programming: one step per page byte, none for byte 256, so it ends at 256/257.
    EXPECT_EQ(rig.progress.phases[0].maximum, 771);
    EXPECT_EQ(rig.progress.phases[0].finalPosition, 768);
    // Verification: 260 per record against 257 bytes, so the bar fills before the end.
    EXPECT_EQ(rig.progress.phases[1].maximum, 771);
    EXPECT_EQ(rig.progress.phases[1].finalPosition, 771);
    EXPECT_TRUE(hiddenAtSecondBanner);
    EXPECT_FALSE(rig.progress.visible);
}

TEST(FirmwareProgressBar, NeverShowsWhenTheDeviceDoesNotAnnounceItself) {
    DeviceFaults faults;
    faults.noBanner = true;
    DeviceRig rig(faults);
    EXPECT_EQ(rig.Run(rig.File(FirmwareImage(1)), true, false), FirmwareOutcome::NoReady);
    EXPECT_EQ(rig.progress.shows, 0);
}

TEST(FirmwareFailures, NoReadyBannerReportsThatTheDeviceDoesNotAnswerAndClosesThePort) {
    DeviceFaults faults;
    faults.noBanner = true;
    DeviceRig rig(faults);
    EXPECT_EQ(rig.Run(rig.File(FirmwareImage(1)), true, true), FirmwareOutcome::NoReady);
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::NoReady}));
    EXPECT_TRUE(rig.port.HostBytes().empty());
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_EQ(rig.clock.TotalSleptMicros(), 2'500'000);
}

TEST(FirmwareFailures, ADeviceThatRefusesTheCommandByteGetsNoPageAndNoResetByte) {
    DeviceFaults faults;
    faults.firmwareRejectCommand = true;
    DeviceRig rig(faults);
    // At the message the port is still open and the bar still shows; both go once it is closed.
    bool openAtMessage = false;
    bool barAtMessage = false;
    rig.notices.onNotice = [&](const Notice&) {
        openAtMessage = rig.port.Connected();
        barAtMessage = rig.progress.visible;
    };
    EXPECT_EQ(rig.Run(rig.File(FirmwareImage(2)), true, true), FirmwareOutcome::ProgrammingFailed);
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::ProgrammingFailed}));
    EXPECT_EQ(rig.port.HostBytes(), (Bytes{0x00}));
    EXPECT_TRUE(openAtMessage);
    EXPECT_TRUE(barAtMessage);
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_FALSE(rig.progress.visible);
}

TEST(FirmwareFailures, AnErrorLetterAfterAPageEndsTheExchangeWithoutVerificationOrReset) {
    DeviceFaults faults;
    faults.firmwareErrorAfterPage = 1;
    DeviceRig rig(faults);
    const Bytes file = FirmwareImage(3);
    EXPECT_EQ(rig.Run(rig.File(file), true, true), FirmwareOutcome::ProgrammingFailed);
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::ProgrammingFailed}));
    // Two records and their continuation bytes, then nothing.
    const Bytes all = ProgrammingBytes(file, 0x01);
    EXPECT_EQ(rig.port.HostBytes(), Bytes(all.begin(), all.begin() + 1 + 2 * 258));
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_FALSE(rig.device.ResetRequested());
}

TEST(FirmwareFailures, StrayLettersDuringProgrammingAreIgnored) {
    DeviceFaults faults;
    faults.firmwareStrayLetters = true;
    DeviceRig rig(faults);
    const Bytes file = FirmwareImage(3, 2);
    EXPECT_EQ(rig.Run(rig.File(file), true, false), FirmwareOutcome::Done);
    EXPECT_EQ(rig.port.HostBytes(),
              Concat({ProgrammingBytes(file, 0x01), {0x01, 0x4E, 0x4E, 0x4E, 0x4F}}));
    EXPECT_TRUE(rig.notices.told.empty());
}

TEST(FirmwareFailures, NoBannerBeforeVerificationIsReportedAsAProgrammingError) {
    DeviceFaults faults;
    faults.firmwareNoVerifyBanner = true;
    DeviceRig rig(faults);
    const Bytes file = FirmwareImage(2);
    EXPECT_EQ(rig.Run(rig.File(file), true, true), FirmwareOutcome::NoVerifyReady);
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::NoVerifyReady}));
    EXPECT_EQ(rig.port.HostBytes(), ProgrammingBytes(file, 0x01));
    EXPECT_FALSE(rig.port.Connected());
}

TEST(FirmwareFailures, ADifferingPageIsReportedAndOnlyThenAnsweredWith45) {
    DeviceFaults faults;
    faults.firmwareCorruptPage = 1;
    DeviceRig rig(faults);
    Bytes hostAtMessage;
    rig.notices.onNotice = [&](const Notice&) { hostAtMessage = rig.port.HostBytes(); };
    const Bytes file = FirmwareImage(3);
    EXPECT_EQ(rig.Run(rig.File(file), true, true), FirmwareOutcome::VerificationFailed);

    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::VerificationFailed}));
    const Bytes before = Concat({ProgrammingBytes(file, 0x01), {0x01, 0x4E, 0x4E}});
    EXPECT_EQ(hostAtMessage, before);
    EXPECT_EQ(rig.port.HostBytes(), Concat({before, {0x45}}));
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_FALSE(rig.device.ResetRequested());
    EXPECT_FALSE(rig.progress.visible);
}

// The file is rewritten between the two phases (when the programming bar hides), so the
// verification compares what the device stored with bytes it was never sent.
TEST(FirmwareVerification, Byte256OfARecordIsNeverCompared) {
    DeviceRig rig;
    const Bytes file = FirmwareImage(3);
    const std::string path = rig.File(file);
    rig.progress.onHide = [&] {
        if (rig.progress.phases.size() == 1) {
            Bytes changed = file;
            for (int r = 0; r < 3; ++r) {
                changed[static_cast<std::size_t>(r * 257 + 256)] ^= 0xFF;
            }
            rig.File(changed);
        }
    };
    EXPECT_EQ(rig.Run(path, true, false), FirmwareOutcome::Done);
    EXPECT_TRUE(rig.notices.told.empty());
    EXPECT_EQ(rig.port.HostBytes().back(), 0x4F);
}

TEST(FirmwareVerification, AnyDifferenceInBytes0To255OfAnyPageFailsIt) {
    for (const int record : {0, 2}) {
        for (const int offset : {0, 128, 255}) {
            SCOPED_TRACE("record " + std::to_string(record) + " byte " + std::to_string(offset));
            DeviceRig rig;
            const Bytes file = FirmwareImage(3);
            const std::string path = rig.File(file);
            // The device's flash changes once programmed: the file was read whole before.
            rig.progress.onHide = [&] {
                if (rig.progress.phases.size() == 1) {
                    Bytes changed = rig.device.Flash();
                    changed[static_cast<std::size_t>(record * 257 + offset)] ^= 0x01;
                    rig.device.LoadFlash(changed);
                }
            };
            EXPECT_EQ(rig.Run(path, true, true), FirmwareOutcome::VerificationFailed);
            EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::VerificationFailed}));
            const Bytes host = rig.port.HostBytes();
            // Pages up to the differing one were asked for; the last byte is 0x45.
            const Bytes asked(static_cast<std::size_t>(record + 1), 0x4E);
            EXPECT_EQ(Bytes(host.end() - record - 3, host.end()), Concat({{0x01}, asked, {0x45}}));
        }
    }
}

TEST(FirmwareVerification, AShortPageFailsIt) {
    ScriptRig rig;
    // Programs one record, then sends back only 255 bytes of its page.
    const Bytes file = FirmwareImage(1);
    rig.port.onByte = [&, count = 0](ScriptedPort& line, std::uint8_t byte) mutable {
        ++count;
        if (count == 1) {
            line.Arrive(1, "y");
        } else if (count == 257) {
            line.Arrive(2, "s");
        } else if (count == 258) {
            line.Arrive(1, "c");
        } else if (count == 259 && byte == 0x01) {
            line.Arrive(100, "Ready");
        } else if (count > 259 && byte == 0x4E) {
            line.Arrive(1, std::string(file.begin(), file.begin() + 255));
        }
    };
    EXPECT_EQ(rig.Run(rig.folder.Write("one.bin", file), true, false),
              FirmwareOutcome::VerificationFailed);
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::VerificationFailed}));
    EXPECT_EQ(rig.port.written.back(), 0x45);
}

TEST(FirmwareLetterWait, ASilentDeviceIsGivenUpFiveSecondsAfterTheLastAnswer) {
    DeviceFaults faults;
    faults.firmwareSilentAfterPage = 0;
    DeviceRig rig(faults);
    std::int64_t messageAt = 0;
    bool barAtMessage = false;
    rig.notices.onNotice = [&](const Notice&) {
        messageAt = rig.clock.NowMicros();
        barAtMessage = rig.progress.visible;
    };
    const Bytes file = FirmwareImage(2);
    EXPECT_EQ(rig.Run(rig.File(file), true, true), FirmwareOutcome::DeviceSilent);

    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::DeviceSilent}));
    const Bytes all = ProgrammingBytes(file, 0x01);
    EXPECT_EQ(rig.port.HostBytes(), Bytes(all.begin(), all.begin() + 1 + 258));
    std::int64_t lastWrite = 0;
    for (const WireEvent& event : rig.port.wire) {
        if (event.kind == WireEvent::Kind::HostToDevice) {
            lastWrite = event.atMicros;
        }
    }
    EXPECT_EQ(messageAt - lastWrite, 5'000'000);
    EXPECT_TRUE(barAtMessage);
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_FALSE(rig.progress.visible);
}

TEST(FirmwareLetterWait, StrayLettersDoNotExtendTheEraseBoundOfThirtySeconds) {
    ScriptRig rig;
    std::int64_t commandAt = -1;
    rig.port.onByte = [&](ScriptedPort& line, std::uint8_t) {
        if (commandAt < 0) {
            commandAt = rig.clock.NowMicros();
            // Noise every 100 ms for 40 s, and never a request.
            for (int i = 1; i <= 400; ++i) {
                line.Arrive(i * 100.0, i % 2 == 0 ? "x" : "Y");
            }
        }
    };
    std::int64_t messageAt = 0;
    rig.notices.onNotice = [&](const Notice&) { messageAt = rig.clock.NowMicros(); };
    EXPECT_EQ(rig.Run(rig.folder.Write("a.bin", FirmwareImage(1)), true, false),
              FirmwareOutcome::DeviceSilent);
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::DeviceSilent}));
    EXPECT_EQ(rig.port.written, (Bytes{0x00}));
    EXPECT_GE(messageAt - commandAt, 30'000'000);
    EXPECT_LE(messageAt - commandAt, 30'100'000);
}

TEST(FirmwareLetterWait, ADeviceThatErasesForEightSecondsIsProgrammedAndLaterLettersKeepFive) {
    ScriptRig rig;
    rig.port.onByte = [count = 0](ScriptedPort& line, std::uint8_t) mutable {
        ++count;
        if (count == 1) {
            line.Arrive(8000, "y");  // the erase
        } else if (count == 257) {
            line.Arrive(4900, "s");
        } else if (count == 258) {
            line.Arrive(4900, "c");
        } else if (count == 259) {
            line.Arrive(5100, "y");  // too late for the second record
        }
    };
    EXPECT_EQ(rig.Run(rig.folder.Write("a.bin", FirmwareImage(2)), false, false),
              FirmwareOutcome::DeviceSilent);
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareOutcome::DeviceSilent}));
    EXPECT_EQ(rig.port.written.size(), 1u + 257u + 1u) << "the first record went out";
    EXPECT_FALSE(rig.port.Connected());
}

TEST(FirmwareLetterWait, ASlowDeviceThatAlwaysAnswersWithinTheBoundIsServed) {
    ScriptRig rig;
    rig.port.onByte = [count = 0](ScriptedPort& line, std::uint8_t) mutable {
        ++count;
        if (count == 1) {
            line.Arrive(4900, "y");
        } else if (count == 257) {
            line.Arrive(4900, "s");
        } else if (count == 258) {
            line.Arrive(4900, "c");
        }
    };
    EXPECT_EQ(rig.Run(rig.folder.Write("a.bin", FirmwareImage(1)), false, false),
              FirmwareOutcome::Done);
    EXPECT_TRUE(rig.notices.told.empty());
    EXPECT_EQ(rig.port.written.size(), 1u + 257u + 1u);
    EXPECT_EQ(rig.port.written.back(), 0x02);
}

TEST(FirmwareLetterWait, WaitsOnThePortInShortSlicesAndLetsTheWindowRepaint) {
    ScriptRig rig;
    EXPECT_EQ(rig.Run(rig.folder.Write("a.bin", FirmwareImage(1)), true, false),
              FirmwareOutcome::DeviceSilent);
    // Thirty silent seconds (the erase bound): each wait at most 20 ms, so some 1500 reads
    // rather than a core spinning, and a repaint every 20 ms or so.
    ASSERT_FALSE(rig.port.waits.empty());
    EXPECT_LE(*std::max_element(rig.port.waits.begin(), rig.port.waits.end()), 20);
    EXPECT_GE(rig.port.waits.size(), 1500u);
    EXPECT_LE(rig.port.reads, 10 + 1510);  // the banner polls and one read per wait
    EXPECT_GE(rig.progress.paints, 1400);
    EXPECT_LE(rig.progress.paints, 1510);
}

TEST(FirmwareFileTrouble, AFileGoneSinceItWasChosenStopsBeforeTheDeviceErasesItsFlash) {
    DeviceRig rig;
    const Bytes flash = FirmwareImage(240, 3);
    rig.device.LoadFlash(flash);
    const std::string path = rig.folder.Root() + "/gone.bin";
    EXPECT_THROW((void)rig.Run(path, true, false), EInOutError);
    EXPECT_TRUE(rig.port.HostBytes().empty());
    EXPECT_EQ(rig.device.Flash(), flash);
    // Released before the error is reported, as after any error.
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_EQ(rig.progress.shows, 0);
}

TEST(FirmwareFileTrouble, AFileThatNoLongerHoldsWholeRecordsIsRefusedBeforeTheCommandByte) {
    DeviceRig rig;
    const std::string path = rig.File(Bytes(300, 0xAA));
    EXPECT_EQ(rig.Run(path, true, false), FirmwareOutcome::FileRefused);
    EXPECT_EQ(rig.notices.told, (std::vector<Notice>{FirmwareFileSize::PartialRecord}));
    EXPECT_TRUE(rig.port.HostBytes().empty());
    EXPECT_FALSE(rig.port.Connected());
}

TEST(FirmwareFileTrouble, APortErrorMidTransferClosesThePortAndHidesTheBar) {
    DeviceRig rig;
    rig.port.FailWritesAfter(100, 5);
    EXPECT_THROW((void)rig.Run(rig.File(FirmwareImage(2)), true, false), EComPort);
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_FALSE(rig.progress.visible);
    EXPECT_TRUE(rig.notices.told.empty());
}

TEST(FirmwareFileSizes, WholeRecordsUpTo61680BytesAreAcceptedAndNothingElse) {
    EXPECT_EQ(CheckFirmwareFileSize(0), FirmwareFileSize::Empty);
    EXPECT_EQ(CheckFirmwareFileSize(257), FirmwareFileSize::Acceptable);
    EXPECT_EQ(CheckFirmwareFileSize(61680), FirmwareFileSize::Acceptable);
    EXPECT_EQ(CheckFirmwareFileSize(61681), FirmwareFileSize::TooLarge);
    EXPECT_EQ(CheckFirmwareFileSize(61680 + 257), FirmwareFileSize::TooLarge);
    EXPECT_EQ(CheckFirmwareFileSize(1), FirmwareFileSize::PartialRecord);
    EXPECT_EQ(CheckFirmwareFileSize(256), FirmwareFileSize::PartialRecord);
    EXPECT_EQ(CheckFirmwareFileSize(258), FirmwareFileSize::PartialRecord);
    EXPECT_EQ(CheckFirmwareFileSize(61679), FirmwareFileSize::PartialRecord);
}

}  // namespace
}  // namespace zorvik::testing
