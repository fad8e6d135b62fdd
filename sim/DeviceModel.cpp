// The Zorvik GSM device as the configurator meets it on the serial line (protocol in the header).
#include "sim/DeviceModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>

#include "config/Crc8.h"
#include "serial/PortLine.h"

namespace zorvik {

namespace {

// Bytes from the host.
constexpr std::uint8_t kCommandAuthenticated = 0x03;  // an authenticated exchange follows
constexpr std::uint8_t kCommandProgram = 0x00;        // firmware programming follows
constexpr std::uint8_t kCommandVerify = 0x01;         // firmware verification follows
constexpr std::uint8_t kChangeFlag = 0x01;            // the block also carries a new password
constexpr std::uint8_t kOperationRead = 0x01;         // the device sends its image
constexpr std::uint8_t kOperationWriteImage = 0x81;   // an image follows
constexpr std::uint8_t kOperationWriteRecord = 0x80;  // a security record follows
constexpr std::uint8_t kBlockTrailer = 0x00;          // the host's byte after a written block
constexpr std::uint8_t kCloseRead = 0x41;             // ends a read and a password change
constexpr std::uint8_t kCloseImage = 0xC1;            // ends an accepted image
constexpr std::uint8_t kCloseRecord = 0xC0;           // ends an accepted security record
constexpr std::uint8_t kContinueMore = 0x00;          // another page follows
constexpr std::uint8_t kContinueVerify = 0x01;        // programming over, verification follows
constexpr std::uint8_t kContinueDone = 0x02;          // programming over, no verification
constexpr std::uint8_t kVerifyNext = 0x4E;            // send the next page back
constexpr std::uint8_t kVerifyPassed = 0x4F;          // every page matched
constexpr std::uint8_t kVerifyFailed = 0x45;          // a page differed
constexpr std::uint8_t kResetByte = 0x02;             // restart the device

// Texts and letters to the host.
constexpr char kBanner[] = "Ready";                    // the device accepts a command byte
constexpr char kBannerFirstPart[] = "Rea";             // a split banner's first burst
constexpr char kBannerSecondPart[] = "dy";             // and its second
constexpr char kReplyOk = 'O';                         // password or block accepted
constexpr char kReplyWrongPassword = 'R';              // password rejected
constexpr char kReplyBadChecksum = 'E';                // written block's checksum wrong
constexpr char kRequestPage = 'y';                     // send the page
constexpr char kRequestExtra = 's';                    // send the page's 257th byte
constexpr char kRequestContinue = 'c';                 // send the continuation byte
constexpr char kProgrammingError = 'E';                // programming failed
constexpr char kStrayLetters[] = "x?Y";                // letters that request nothing
constexpr std::uint8_t kNoise[] = {0x3F, 0x00, 0xFF};  // junk before a status reply

// Sizes.
constexpr std::size_t kAuthBlockSize = 17;            // change flag and two password blocks
constexpr std::size_t kPasswordOffset = 1;            // current password block in the auth block
constexpr std::size_t kNewPasswordOffset = 9;         // new password block in the auth block
constexpr std::size_t kWrittenSize = kBlockSize + 1;  // a written block and its trailing byte
constexpr std::size_t kShortBlockSize = 200;          // what a short read sends of the block
constexpr std::uint8_t kErased = 0xFF;                // an erased flash byte
constexpr std::size_t kCorruptByte = 128;             // where a corrupt read-back page differs

// Pauses, in microseconds.
constexpr std::int64_t kFirstBannerMicros = 100'000;   // idle (or opened) to the first banner
constexpr std::int64_t kBannerPeriodMicros = 500'000;  // between banners while idle
constexpr std::int64_t kSplitGapMicros = 300'000;      // between a split banner's halves
// From a split banner's second half to the next banner: longer than a poll, so that no
// 5-character read joins "dy" with the start of a whole banner.
constexpr std::int64_t kAfterSplitMicros = 500'000;
constexpr std::int64_t kSilenceMicros = 3'000'000;    // host silence that ends an exchange
constexpr std::int64_t kPasswordCheckMicros = 2'000;  // checking the authentication block
constexpr std::int64_t kImageFetchMicros = 1'000;     // before the image goes out
constexpr std::int64_t kBlockStoreMicros = 5'000;     // checking and storing a written block
constexpr std::int64_t kLetterMicros = 1'000;         // before "y", "c" and "E"
constexpr std::int64_t kPageWriteMicros = 2'000;      // writing a page, before "s"
constexpr std::int64_t kPageFetchMicros = 1'000;      // before a page goes back for verification
constexpr std::int64_t kRestartMicros = 300'000;      // reset byte to the first banner

std::string Hex(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

}  // namespace

std::array<std::uint8_t, kImageSize> DefaultDeviceImage() {
    std::array<std::uint8_t, kImageSize> image{};
    const auto number = [&image](std::size_t offset, std::size_t capacity,
                                 std::string_view digits) {
        image[offset] = static_cast<std::uint8_t>(0x80 | digits.size());
        for (std::size_t i = 0; i < capacity; ++i) {
            image[offset + 1 + i] = i < digits.size() ? static_cast<std::uint8_t>(digits[i]) : '_';
        }
    };
    number(0, 12, "48501200777");   // SMS centre
    number(15, 12, "48600100200");  // telephone 1
    number(30, 12, "48512345678");  // telephone 2
    for (const std::size_t offset : {45, 60, 75, 90}) {
        image[offset] = 0x0C;  // telephones 3 to 6 not in use
    }
    number(105, 5, "1234");  // SIM PIN
    image[111] = 0x00;       // managed by SMS, commands confirmed
    image[112] = 0x84;       // low battery reported at 20 %
    image[113] = 0x85;       // loss of supply reported after 5 min
    image[114] = 0x0A;       // GPS reports off, 100 m
    image[115] = 0x85;       // automatic reports with battery state and GPS position
    image[116] = 24;         // every 24 h
    image[117] = 8;          // counted from 8 o'clock
    image[118] = 0x03;       // reports to telephones 1 and 2
    image[119] = 0x87;       // light failures reported, all three lights
    image[120] = 0x00;       // device type 1, signal head S1
    const std::uint8_t timings[] = {30, 0, 3, 0, 10, 1, 45, 0};  // red 0:30, yellow 0:03,
    std::copy(std::begin(timings), std::end(timings), image.begin() + 121);  // green 1:10, 0:45
    image[129] = 15;    // works 15 min after the supply fails
    image[130] = 0x00;  // home network only
    return image;
}

DeviceModel::DeviceModel(DeviceFaults faults, bool paceAtLineRate)
    : faults_(faults), pace_(paceAtLineRate), image_(DefaultDeviceImage()) {
    flash_.assign(kFlashSize, kErased);
}

void DeviceModel::LoadFlash(std::vector<std::uint8_t> image) {
    image.resize(kFlashSize, kErased);
    flash_ = std::move(image);
}

bool DeviceModel::Programming() const {
    return state_ == State::ProgramPage || state_ == State::ProgramExtra ||
           state_ == State::ProgramContinue;
}

std::vector<std::string> DeviceModel::TakeLog() {
    std::vector<std::string> lines;
    lines.swap(log_);
    return lines;
}

void DeviceModel::HostOpened(std::int64_t nowUs) {
    Reset(nowUs, true);
}

void DeviceModel::HostClosed(std::int64_t nowUs) {
    Reset(nowUs, false);
}

void DeviceModel::Reset(std::int64_t nowUs, bool open) {
    if (faults_.bannerFreeRunning && firstBeat_) {
        // The line carries nothing that shows an open or a close; what had arrived at the host
        // is discarded there.
        Advance(nowUs);
        while (!out_.empty() && out_.front().due <= nowUs) {
            out_.pop_front();
        }
        return;
    }
    const std::string event = open ? "the port was reopened" : "the port was closed";
    switch (state_) {
        case State::Idle:
            if (firmware_.active) {
                FinishFirmware(", not verified");
            }
            break;
        case State::AfterFirmware:
            FinishFirmware("");
            break;
        case State::Ended:
        case State::Hung:
            break;
        default:
            Abandon(event + " while " + Activity());
            break;
    }
    out_.clear();
    collected_.clear();
    lineFreeAt_ = nowUs;
    inboundFreeAt_ = static_cast<double>(nowUs);
    modelTime_ = nowUs;
    state_ = State::Idle;
    deadline_.reset();
    bannersSuppressed_ = false;
    splitPending_ = open && faults_.splitBanner;
    if (open) {
        const std::int64_t delay = faults_.bannerDelayMs > 0
                                       ? std::int64_t{faults_.bannerDelayMs} * 1000
                                       : kFirstBannerMicros;
        bannerAt_ = nowUs + delay;
        if (faults_.bannerFreeRunning) {
            firstBeat_ = bannerAt_;
        }
    } else {
        bannerAt_.reset();
    }
}

void DeviceModel::Receive(const std::uint8_t* data, std::size_t size, std::int64_t nowUs) {
    for (std::size_t i = 0; i < size; ++i) {
        const double start = std::max(static_cast<double>(nowUs), inboundFreeAt_);
        inboundFreeAt_ = pace_ ? start + kLineByteMicros : start;
        const auto arrival = static_cast<std::int64_t>(std::llround(inboundFreeAt_));
        Advance(arrival);
        Process(data[i], std::max(arrival, modelTime_));
    }
}

std::vector<std::uint8_t> DeviceModel::TakeOutput(std::int64_t nowUs) {
    Advance(nowUs);
    std::vector<std::uint8_t> bytes;
    while (!out_.empty() && out_.front().due <= nowUs &&
           !(pulledAt_ && out_.front().due > *pulledAt_)) {
        bytes.push_back(out_.front().byte);
        out_.pop_front();
    }
    return bytes;
}

std::optional<std::int64_t> DeviceModel::NextOutputAt(std::int64_t nowUs) {
    Advance(nowUs);
    if (!out_.empty()) {
        return out_.front().due;
    }
    if (!BannersOn()) {
        return std::nullopt;
    }
    if (state_ == State::Idle && bannerAt_) {
        return *bannerAt_ + ByteTime(1);
    }
    if (deadline_) {
        // The exchange will time out, and the banner follows.
        return *deadline_ + kFirstBannerMicros + ByteTime(1);
    }
    return std::nullopt;
}

void DeviceModel::Advance(std::int64_t t) {
    for (;;) {
        std::optional<std::int64_t> next;
        bool banner = false;
        if (state_ == State::Idle && bannerAt_) {
            next = bannerAt_;
            banner = true;
        }
        if (deadline_ && (!next || *deadline_ < *next)) {
            next = deadline_;
            banner = false;
        }
        if (!next || *next > t) {
            break;
        }
        modelTime_ = std::max(modelTime_, *next);
        if (banner) {
            EmitBanner(*next);
        } else {
            OnSilence(*next);
        }
    }
    modelTime_ = std::max(modelTime_, t);
}

bool DeviceModel::BannersOn() const {
    return !faults_.noBanner && !bannersSuppressed_;
}

std::int64_t DeviceModel::ByteTime(int count) const {
    return pace_ ? static_cast<std::int64_t>(std::llround(count * kLineByteMicros)) : 0;
}

void DeviceModel::EmitBanner(std::int64_t t) {
    if (BannersOn() && splitPending_) {
        splitPending_ = false;
        SendText(kBannerFirstPart, t, true);
        SendText(kBannerSecondPart, t + kSplitGapMicros, true);
        bannerAt_ = t + kSplitGapMicros + kAfterSplitMicros;
        return;
    }
    if (BannersOn()) {
        SendText(kBanner, t, true);
    }
    bannerAt_ = t + kBannerPeriodMicros;
}

void DeviceModel::CancelBanner(std::int64_t t) {
    // Banner bytes whose transmission has not begun are dropped; one already on its way ends.
    while (!out_.empty() && out_.back().banner && out_.back().due - ByteTime(1) >= t &&
           out_.back().due > t) {
        out_.pop_back();
    }
    lineFreeAt_ = out_.empty() ? std::min(lineFreeAt_, t) : out_.back().due;
    bannerAt_.reset();
}

void DeviceModel::Send(const std::uint8_t* data, std::size_t size, std::int64_t readyAt,
                       bool banner) {
    const std::int64_t start = std::max(readyAt, lineFreeAt_);
    for (std::size_t i = 0; i < size; ++i) {
        const std::int64_t due =
            pace_ ? start + static_cast<std::int64_t>(std::llround((i + 1) * kLineByteMicros))
                  : start;
        out_.push_back({data[i], due, banner});
        lineFreeAt_ = due;
    }
}

void DeviceModel::SendText(const std::string& text, std::int64_t readyAt, bool banner) {
    Send(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), readyAt, banner);
}

void DeviceModel::SendLetter(char letter, std::int64_t readyAt) {
    if (faults_.firmwareStrayLetters) {
        const std::size_t count = sizeof kStrayLetters - 1;
        SendText(std::string(1, kStrayLetters[static_cast<std::size_t>(strayIndex_) % count]),
                 readyAt);
        ++strayIndex_;
    }
    SendText(std::string(1, letter), readyAt);
}

void DeviceModel::Enter(State state, std::int64_t t) {
    state_ = state;
    if (state == State::Idle || state == State::Hung) {
        deadline_.reset();
    } else {
        bannerAt_.reset();
        // Silence is counted from the later of the host's last byte and the device's own.
        deadline_ = std::max(t, lineFreeAt_) + kSilenceMicros;
    }
}

void DeviceModel::BackToIdle(std::int64_t bannerAt) {
    state_ = State::Idle;
    deadline_.reset();
    collected_.clear();
    bannerAt_ = OnBeat(bannerAt);
}

std::int64_t DeviceModel::OnBeat(std::int64_t at) const {
    if (!faults_.bannerFreeRunning || !firstBeat_ || at <= *firstBeat_) {
        return at;
    }
    const std::int64_t beats = (at - *firstBeat_ + kBannerPeriodMicros - 1) / kBannerPeriodMicros;
    return *firstBeat_ + beats * kBannerPeriodMicros;
}

void DeviceModel::Abandon(const std::string& why) {
    if (firmware_.active) {
        FinishFirmware(", then " + why);
    } else {
        Log("exchange abandoned: " + why);
    }
}

void DeviceModel::FinishFirmware(const std::string& tail) {
    std::string line = "firmware: ";
    if (firmware_.programmed) {
        line += std::to_string(programmedPages_) + " pages programmed";
    } else {
        line += std::to_string(firmware_.pagesVerified) + " pages read back";
    }
    Log(line + firmware_.outcome + tail);
    ++firmwareUpdates_;
    firmware_ = {};
}

std::string DeviceModel::Activity() const {
    // Pages are counted from 0, as the options name them.
    const std::string page = std::to_string(page_);
    const std::string kind = blockKind_ == BlockKind::Image ? "image" : "security record";
    switch (state_) {
        case State::AuthBlock:
            return "receiving the authentication block";
        case State::Operation:
            return "waiting for the operation byte";
        case State::ReadClose:
            return "waiting for the closing byte of a read";
        case State::PasswordClose:
            return "waiting for the closing byte of a password change (new password stored)";
        case State::ReceiveBlock:
            return "receiving a written " + kind;
        case State::TransferClose:
            return "waiting for the closing byte of a stored " + kind;
        case State::ProgramPage:
            return "receiving page " + page;
        case State::ProgramExtra:
            return "waiting for the 257th byte of page " + page;
        case State::ProgramContinue:
            return "waiting for the continuation byte of page " + page;
        case State::Verify:
            return "verifying";
        default:
            return "idle";
    }
}

void DeviceModel::OnSilence(std::int64_t t) {
    switch (state_) {
        case State::Ended:
            break;
        case State::AfterFirmware:
            FinishFirmware("");
            break;
        default:
            Abandon("the host fell silent while " + Activity());
            break;
    }
    BackToIdle(t + kFirstBannerMicros);
}

void DeviceModel::Process(std::uint8_t byte, std::int64_t t) {
    switch (state_) {
        case State::Idle:
            ProcessIdle(byte, t);
            break;
        case State::AuthBlock:
            collected_.push_back(byte);
            if (collected_.size() == kAuthBlockSize) {
                ProcessAuthBlock(t);
            } else {
                Enter(State::AuthBlock, t);
            }
            break;
        case State::Operation:
            ProcessOperation(byte, t);
            break;
        case State::ReadClose:
            Log("read image: " + readOutcome_ +
                (byte == kCloseRead ? "" : ", closed with " + Hex(byte) + " instead of 0x41"));
            BackToIdle(t + kFirstBannerMicros);
            break;
        case State::PasswordClose:
            Log(byte == kCloseRead
                    ? "password change: ok"
                    : "password change: ok, closed with " + Hex(byte) + " instead of 0x41");
            BackToIdle(t + kFirstBannerMicros);
            break;
        case State::ReceiveBlock:
            collected_.push_back(byte);
            if (collected_.size() == std::size_t{kBlockSize / 2} && PullAt(PullStep::Transfer, t)) {
                break;
            }
            if (collected_.size() == kWrittenSize) {
                ProcessBlock(t);
            } else {
                Enter(State::ReceiveBlock, t);
            }
            break;
        case State::TransferClose: {
            const bool image = blockKind_ == BlockKind::Image;
            const std::uint8_t expected = image ? kCloseImage : kCloseRecord;
            std::string line = image ? "write image: ok"
                                     : "security record: ok (flags " +
                                           Hex(securityRecord_ ? (*securityRecord_)[0] : 0) + ")";
            if (byte != expected) {
                line += ", closed with " + Hex(byte) + " instead of " + Hex(expected);
            }
            Log(line);
            BackToIdle(t + kFirstBannerMicros);
            break;
        }
        case State::Ended:
            Enter(State::Ended, t);
            break;
        case State::ProgramPage:
            collected_.push_back(byte);
            if (collected_.size() == std::size_t{kFlashPageSize / 2} &&
                PullAt(PullStep::ProgramPage, t)) {
                break;
            }
            if (collected_.size() == static_cast<std::size_t>(kFlashPageSize)) {
                std::copy(collected_.begin(), collected_.end(),
                          flash_.begin() + std::ptrdiff_t{page_} * kFlashRecordSize);
                collected_.clear();
                SendLetter(kRequestExtra, t + kPageWriteMicros);
                Enter(State::ProgramExtra, t);
            } else {
                Enter(State::ProgramPage, t);
            }
            break;
        case State::ProgramExtra:
            flash_[static_cast<std::size_t>(page_) * kFlashRecordSize + kFlashPageSize] = byte;
            SendLetter(kRequestContinue, t + kLetterMicros);
            Enter(State::ProgramContinue, t);
            break;
        case State::ProgramContinue:
            ProcessContinue(byte, t);
            break;
        case State::Verify:
            ProcessVerify(byte, t);
            break;
        case State::AfterFirmware:
            if (byte == kResetByte) {
                resetRequested_ = true;
                FinishFirmware(", reset");
                BackToIdle(t + kRestartMicros);
            } else {
                Enter(State::AfterFirmware, t);
            }
            break;
        case State::Hung:
            break;
    }
}

void DeviceModel::ProcessIdle(std::uint8_t byte, std::int64_t t) {
    if (byte != kCommandAuthenticated && byte != kCommandProgram && byte != kCommandVerify) {
        return;  // line noise, or the tail of an exchange that already ended
    }
    CancelBanner(t);
    if (firmware_.active && byte != kCommandVerify) {
        FinishFirmware(", not verified");
    }
    collected_.clear();
    if (byte == kCommandAuthenticated) {
        Enter(State::AuthBlock, t);
        return;
    }
    if (byte == kCommandVerify) {
        if (!firmware_.active) {
            firmware_.active = true;
            firmware_.programmed = false;
        }
        page_ = 0;
        firmware_.pagesVerified = 0;
        Enter(State::Verify, t);
        return;
    }
    firmware_ = {};
    firmware_.active = true;
    firmware_.programmed = true;
    programmedPages_ = 0;
    page_ = 0;
    if (faults_.firmwareRejectCommand) {
        SendText(std::string(1, kProgrammingError), t + kLetterMicros);
        FinishFirmware(", programming command refused (fault)");
        Enter(State::Ended, t);
        return;
    }
    std::fill(flash_.begin(), flash_.end(), kErased);
    const std::int64_t erase =
        faults_.firmwareEraseMs > 0 ? std::int64_t{faults_.firmwareEraseMs} * 1000 : kLetterMicros;
    SendLetter(kRequestPage, t + erase);
    Enter(State::ProgramPage, t);
}

bool DeviceModel::PullAt(PullStep step, std::int64_t at) {
    if (faults_.pullAt != step || pulledAt_) {
        return false;
    }
    if ((step == PullStep::ProgramPage || step == PullStep::VerifyPage) &&
        page_ != faults_.pullPage) {
        return false;
    }
    if (++pullStepsReached_ < faults_.pullCount) {
        return false;
    }
    pulledAt_ = at;
    Log("cable pulled (fault) while " + Activity());
    // Nothing more goes out; what is already on its way stops at the pull.
    Enter(State::Hung, at);
    return true;
}

void DeviceModel::ProcessAuthBlock(std::int64_t t) {
    if (PullAt(PullStep::AuthBlock, t)) {
        collected_.clear();
        return;
    }
    const PasswordBlock expected = ComputePasswordBlock(password_);
    const bool match =
        std::equal(expected.begin(), expected.end(), collected_.begin() + kPasswordOffset);
    const bool change = collected_[0] == kChangeFlag;
    std::u16string newPassword;
    bool newBlockSound = true;
    if (change) {
        for (int i = 0; i < kAccessPasswordLength; ++i) {
            newPassword += static_cast<char16_t>(collected_[kNewPasswordOffset + i]);
        }
        const PasswordBlock block = ComputePasswordBlock(newPassword);
        newBlockSound =
            std::equal(block.begin(), block.end(), collected_.begin() + kNewPasswordOffset);
    }
    collected_.clear();
    const std::int64_t replyAt = t + kPasswordCheckMicros;
    if (faults_.silentStatus) {
        Log("password: left unanswered (fault)");
        Enter(State::Ended, t);
        return;
    }
    if (faults_.noiseBeforeStatus) {
        Send(kNoise, sizeof kNoise, replyAt);
    }
    if (faults_.rejectPassword || !match) {
        SendText(std::string(1, kReplyWrongPassword), replyAt);
        Log(faults_.rejectPassword && match ? "password: rejected (fault)" : "password: wrong");
        Enter(State::Ended, t);
        return;
    }
    if (!newBlockSound) {
        // A new password whose digest does not match its bytes was garbled on the way.
        SendText(std::string(1, kReplyWrongPassword), replyAt);
        Log("password change: the new password's digest does not match, refused");
        Enter(State::Ended, t);
        return;
    }
    SendText(std::string(1, kReplyOk), replyAt);
    if (change) {
        password_ = newPassword;
        Enter(State::PasswordClose, t);
    } else {
        Enter(State::Operation, t);
    }
}

void DeviceModel::ProcessOperation(std::uint8_t byte, std::int64_t t) {
    if (byte == kOperationRead) {
        std::array<std::uint8_t, kBlockSize> block{};
        std::copy(image_.begin(), image_.end(), block.begin());
        block[kImageSize] = ComputeImageChecksum(std::span<const std::uint8_t, kImageSize>(image_));
        readOutcome_ = "ok";
        if (faults_.badChecksumOnRead) {
            block[kImageSize] ^= 0x01;
            readOutcome_ = "sent with a wrong checksum (fault)";
        }
        std::size_t size = block.size();
        if (faults_.shortBlockOnRead) {
            size = kShortBlockSize;
            readOutcome_ = "sent " + std::to_string(size) + " of 257 bytes (fault)";
        }
        const std::int64_t startAt = t + kImageFetchMicros + BlockDelay();
        Send(block.data(), size, startAt);
        Enter(State::ReadClose, t);
        // Half the block is on its way when the cable goes.
        if (PullAt(PullStep::Transfer, startAt + ByteTime(kBlockSize / 2))) {
            Enter(State::Hung, t);
        }
        return;
    }
    if (byte == kOperationWriteImage || byte == kOperationWriteRecord) {
        blockKind_ = byte == kOperationWriteImage ? BlockKind::Image : BlockKind::Security;
        collected_.clear();
        Enter(State::ReceiveBlock, t);
        return;
    }
    Log("exchange abandoned: unknown operation byte " + Hex(byte));
    Enter(State::Ended, t);
}

void DeviceModel::ProcessBlock(std::int64_t t) {
    if (PullAt(PullStep::TransferStatus, t)) {
        collected_.clear();
        return;
    }
    const bool image = blockKind_ == BlockKind::Image;
    const std::string what = image ? "write image" : "security record";
    std::array<std::uint8_t, kImageSize> data{};
    std::copy(collected_.begin(), collected_.begin() + kImageSize, data.begin());
    const bool sound = ComputeImageChecksum(std::span<const std::uint8_t, kImageSize>(data)) ==
                       collected_[kImageSize];
    const std::uint8_t trailer = collected_[kBlockSize];
    collected_.clear();
    const std::string trailerNote =
        trailer == kBlockTrailer ? "" : " (trailing byte " + Hex(trailer) + " instead of 0x00)";

    const char reply = faults_.writeReply == kReplyOk ? (sound ? kReplyOk : kReplyBadChecksum)
                                                      : faults_.writeReply;
    const std::int64_t replyAt = t + kBlockStoreMicros;
    if (reply == kReplyOk) {
        if (image) {
            image_ = data;
        } else {
            securityRecord_ = data;
        }
        SendText(std::string(1, kReplyOk), replyAt);
        if (!trailerNote.empty()) {
            Log(what + ": stored" + trailerNote);
        }
        Enter(State::TransferClose, t);
        return;
    }
    if (reply == 0) {
        Log(what + ": left unanswered (fault)" + trailerNote);
    } else if (reply == kReplyBadChecksum && !sound) {
        SendText(std::string(1, reply), replyAt);
        Log(what + ": bad checksum, answered E" + trailerNote);
    } else {
        SendText(std::string(1, reply), replyAt);
        Log(what + ": answered " + std::string(1, reply) + " (fault)" + trailerNote);
    }
    Enter(State::Ended, t);
}

void DeviceModel::ProcessContinue(std::uint8_t byte, std::int64_t t) {
    programmedPages_ = page_ + 1;
    if (faults_.firmwareErrorAfterPage == page_) {
        SendText(std::string(1, kProgrammingError), t + kLetterMicros);
        FinishFirmware(", then failed (fault)");
        Enter(State::Ended, t);
        return;
    }
    if (faults_.firmwareSilentAfterPage == page_) {
        FinishFirmware(", then went silent (fault)");
        Enter(State::Hung, t);
        return;
    }
    switch (byte) {
        case kContinueMore:
            if (page_ + 1 >= kFlashPages) {
                SendText(std::string(1, kProgrammingError), t + kLetterMicros);
                FinishFirmware(", then refused another page: the flash is full");
                Enter(State::Ended, t);
                return;
            }
            ++page_;
            SendLetter(kRequestPage, t + kLetterMicros);
            Enter(State::ProgramPage, t);
            return;
        case kContinueVerify:
            bannersSuppressed_ = faults_.firmwareNoVerifyBanner;
            BackToIdle(t + kFirstBannerMicros);
            return;
        case kContinueDone:
            Enter(State::AfterFirmware, t);
            return;
        default:
            SendText(std::string(1, kProgrammingError), t + kLetterMicros);
            FinishFirmware(", then failed: continuation byte " + Hex(byte));
            Enter(State::Ended, t);
            return;
    }
}

void DeviceModel::ProcessVerify(std::uint8_t byte, std::int64_t t) {
    if (byte == kVerifyNext && PullAt(PullStep::VerifyPage, t)) {
        return;
    }
    if (byte == kVerifyNext) {
        std::array<std::uint8_t, kFlashPageSize> page;
        page.fill(kErased);
        if (page_ < kFlashPages) {
            const auto from = flash_.begin() + std::ptrdiff_t{page_} * kFlashRecordSize;
            std::copy(from, from + kFlashPageSize, page.begin());
        }
        if (faults_.firmwareCorruptPage == page_) {
            page[kCorruptByte] ^= 0x01;
        }
        Send(page.data(), page.size(), t + kPageFetchMicros + BlockDelay());
        ++page_;
        firmware_.pagesVerified = page_;
        Enter(State::Verify, t);
        return;
    }
    if (byte == kVerifyPassed) {
        firmware_.outcome = firmware_.programmed ? ", verified" : ", host found them equal";
        Enter(State::AfterFirmware, t);
        return;
    }
    if (byte == kVerifyFailed) {
        firmware_.outcome = ", verification failed at page " + std::to_string(page_ - 1);
        Enter(State::AfterFirmware, t);
        return;
    }
    Enter(State::Verify, t);
}

}  // namespace zorvik
