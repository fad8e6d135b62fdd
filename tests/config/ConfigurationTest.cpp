// The configuration value against the image: every representable image back byte for byte, the
// clamping and dropping of what the window cannot show, and the reserved bytes kept.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "config/Configuration.h"
#include "tests/support/ImageCatalogue.h"

namespace zorvik::testing {
namespace {

const std::vector<std::string> kSame;

TEST(UntouchedWindow, IsTheDocumentedImageAndTheDefaultValue) {
    EXPECT_EQ(ByteDiff(kUntouchedWindowImage, InitialImage()), kSame);
    EXPECT_EQ(DefaultConfiguration(), Configuration{});
    EXPECT_EQ(ByteDiff(EncodeConfiguration(Configuration{}), InitialImage()), kSame);
}

TEST(ConfigurationRoundTrip, EveryRepresentableImageComesBackByteForByte) {
    int index = 0;
    for (const ConfigImage& image : RepresentableImages()) {
        EXPECT_EQ(ByteDiff(EncodeConfiguration(DecodeConfiguration(image)), image), kSame)
            << "image " << index;
        ++index;
    }
}

TEST(ConfigurationRoundTrip, ReservedBytesAreKeptAndUnnamedBitsDropped) {
    ConfigImage image = InitialImage();
    for (int i = 131; i < 256; ++i) {
        image[i] = static_cast<std::uint8_t>((i * 7 + 13) & 0xFF);
    }
    image[13] = 0x11;   // the spares after the SMS centre
    image[104] = 0x22;  // and after telephone 6
    EXPECT_EQ(ByteDiff(EncodeConfiguration(DecodeConfiguration(image)), image), kSame);

    ConfigImage unnamed = InitialImage();
    unnamed[115] = 0x60;  // bits 5 and 6
    unnamed[118] = 0xC0;  // bits 6 and 7
    unnamed[119] = 0x78;  // bits 3 to 6
    unnamed[120] = 0x9E;  // type 0 with the type-1 and unnamed bits
    EXPECT_EQ(ByteDiff(EncodeConfiguration(DecodeConfiguration(unnamed)), InitialImage()), kSame);
}

TEST(ConfigurationDecoding, ReadsEachSettingWithItsMeaning) {
    ConfigImage image = InitialImage();
    PutNumber(image, 0, 12, "48601000310");
    PutNumber(image, 45, 12, "48601234567");
    PutNumber(image, 105, 5, "1234");
    image[111] = 0x00;
    image[112] = 0xD3;  // on, not deep-discharge, 95 %
    image[113] = 0x85;
    image[114] = 0xE4;  // on, 1000 m
    image[115] = 0x95;  // on, battery charge, GPS position, working time
    image[118] = 0x24;  // telephones 3 and 6; 6 is not in use, so the window greys its box
    image[119] = 0x85;
    image[120] = 0x40;  // Semalto, S2
    image[121] = 1;
    image[122] = 2;
    image[130] = 0x80;

    const Configuration v = DecodeConfiguration(image);
    EXPECT_EQ(v.smsCentre, (NumberSetting{true, "48601000310"}));
    EXPECT_EQ(v.telephones[2], (NumberSetting{true, "48601234567"}));
    EXPECT_EQ(v.telephones[0], (NumberSetting{false, ""}));
    EXPECT_EQ(v.simPin, (NumberSetting{true, "1234"}));
    EXPECT_EQ(v.smsControl, SmsControlMode::ControlAndNotify);
    EXPECT_TRUE(v.smsConfirm);
    EXPECT_EQ(v.lowBattery, (LowBatteryNotification{true, 95, false}));
    EXPECT_EQ(v.powerFailure, (PowerFailureNotification{true, 5}));
    EXPECT_EQ(v.gpsChange, (GpsNotification{true, 1000}));
    EXPECT_TRUE(v.reports.enabled && v.reports.batteryCharge && v.reports.gpsPosition &&
                v.reports.workingTime);
    EXPECT_FALSE(v.reports.timeSettings || v.reports.sinceBatteryChange);
    EXPECT_EQ(v.reports.toTelephone,
              (std::array<bool, 6>{false, false, true, false, false, false}));
    EXPECT_EQ(v.lightFailure, (LightFailureNotification{true, true, false, true}));
    EXPECT_EQ(v.deviceType, DeviceType::Semalto);
    EXPECT_EQ(v.signalHead, SignalHead::S2);
    EXPECT_EQ(v.lightTimes[0], (LightTime{2, 1}));
    EXPECT_EQ(v.network, GsmNetwork::Roaming);
}

TEST(ConfigurationDecoding, BringsWhatTheWindowCannotShowIntoItsRange) {
    ConfigImage image = InitialImage();
    image[111] = 0x02;  // not a stored mode: control without confirmation
    image[112] = 0x3F;  // 315 %
    image[113] = 0x7F;  // 127 minutes
    image[114] = 0x00;  // 0 m
    image[116] = 0;
    image[117] = 200;
    image[120] = 0x00;
    image[121] = 60;
    image[122] = 255;
    image[129] = 100;
    image[130] = 0x01;  // any value but 0 is roaming

    const Configuration v = DecodeConfiguration(image);
    EXPECT_EQ(v.smsControl, SmsControlMode::ControlAndNotify);
    EXPECT_FALSE(v.smsConfirm);
    EXPECT_EQ(v.lowBattery.thresholdPercent, 95);
    EXPECT_EQ(v.powerFailure.delayMinutes, 90);
    EXPECT_EQ(v.gpsChange.distanceMetres, 10);
    EXPECT_EQ(v.reports.intervalHours, 1);
    EXPECT_EQ(v.reports.startHour, 23);
    EXPECT_EQ(v.lightTimes[0], (LightTime{99, 59}));
    EXPECT_EQ(v.switchOffMinutes, 99);
    EXPECT_EQ(v.network, GsmNetwork::Roaming);
}

TEST(ConfigurationDecoding, NumbersShowTheirFieldUpToTheDigitCount) {
    ConfigImage image = InitialImage();
    // A count of 15 reads past the area into the spares; only 12 digit positions show.
    PutNumber(image, 15, 12, "123456789012");
    image[15] = 0x8F;
    image[28] = '7';
    // A letter in the middle: an empty position, the digits after it still shown.
    PutNumber(image, 30, 12, "4860");
    image[33] = 'A';
    // A count of 2 shows the byte after the digits too, where the terminator belongs.
    PutNumber(image, 45, 12, "123");
    image[45] = 0x82;
    // A PIN claiming 15 digits shows five.
    PutNumber(image, 105, 5, "12345");
    image[105] = 0x8F;

    const Configuration v = DecodeConfiguration(image);
    EXPECT_EQ(v.telephones[0].number, "123456789012");
    EXPECT_EQ(v.telephones[1].number, "48_0");
    EXPECT_EQ(v.telephones[2].number, "123");
    EXPECT_EQ(v.simPin.number, "12345");

    const ConfigImage again = EncodeConfiguration(v);
    EXPECT_EQ(again[15], 0x8C);
    EXPECT_EQ(again[30], 0x82);  // the digits after the gap are dropped
    EXPECT_EQ(std::string(again.begin() + 31, again.begin() + 43), "48" + std::string(10, '_'));
    EXPECT_EQ(again[45], 0x83);
    EXPECT_EQ(again[105], 0x85);
}

TEST(ConfigurationEncoding, StoresTheDeviceTypesOwnSettingsOnly) {
    Configuration v;
    v.lightTimes = {LightTime{0, 1}, LightTime{2, 3}, LightTime{4, 5}, LightTime{6, 7}};
    v.signalHead = SignalHead::S2;
    v.lightWiring = LightWiring::CommonMinus;
    v.lightFailure.enabled = true;

    ConfigImage image = EncodeConfiguration(v);  // Wardeno, common minus
    EXPECT_EQ(image[120], 0x81);
    EXPECT_EQ(image[119], 0x80);
    EXPECT_FALSE(DecodeConfiguration(image).lightFailure.enabled) << "not possible under it";
    for (int i = 121; i <= 128; ++i) {
        EXPECT_EQ(image[i], 0x00) << i;
    }

    v.deviceType = DeviceType::Semalto;
    image = EncodeConfiguration(v);
    EXPECT_EQ(image[120], 0x40);
    EXPECT_EQ(image[119], 0x80);
    const std::uint8_t timings[] = {1, 0, 3, 2, 5, 4, 7, 6};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(image[121 + i], timings[i]) << 121 + i;
    }
}

TEST(ConfigurationEncoding, BringsValuesOutsideTheirRangesIntoThem) {
    Configuration v;
    v.lowBattery.thresholdPercent = 97;
    v.gpsChange.distanceMetres = 5;
    v.powerFailure.delayMinutes = -3;
    v.reports.intervalHours = 1000;
    v.switchOffMinutes = 500;
    v.simPin = {true, "1234567"};
    const ConfigImage image = EncodeConfiguration(v);
    EXPECT_EQ(image[112] & 0x3F, 19);
    EXPECT_EQ(image[114], 0x01);
    EXPECT_EQ(image[113], 0x00);
    EXPECT_EQ(image[116], 48);
    EXPECT_EQ(image[129], 99);
    EXPECT_EQ(image[105], 0x85);
}

void PutText(ConfigImage& image, int offset, const char* text) {
    for (int i = 0; text[i] != '\0'; ++i) {
        image[static_cast<std::size_t>(offset + i)] = static_cast<std::uint8_t>(text[i]);
    }
}

TEST(ConfigurationEncoding, NumbersEndAtTheirFirstEmptyPositionAndFollowTheirSwitch) {
    Configuration v;
    v.smsCentre = {true, "48601000310"};
    v.telephones[0] = {true, "486010003109"};   // all twelve digits: no terminator
    v.telephones[1] = {true, ""};               // switched on, nothing typed
    v.telephones[2] = {false, "486010003109"};  // switched off: the digits are not stored
    v.telephones[5] = {true, "48_601"};
    v.simPin = {true, "1234"};

    ConfigImage expected = kUntouchedWindowImage;
    expected[0] = 0x8B;
    PutText(expected, 1, "48601000310_");
    expected[15] = 0x8C;
    PutText(expected, 16, "486010003109");
    expected[30] = 0x80;
    PutText(expected, 31, "____________");
    expected[90] = 0x82;
    PutText(expected, 91, "48__________");
    expected[105] = 0x84;
    PutText(expected, 106, "1234_");
    EXPECT_EQ(ByteDiff(EncodeConfiguration(v), expected), kSame);
}

TEST(ConfigurationEncoding, SmsControlModeHasThreeValues) {
    Configuration v;
    v.smsConfirm = true;  // not stored without control by SMS
    EXPECT_EQ(EncodeConfiguration(v)[111], 0x80);
    v.smsControl = SmsControlMode::ControlAndNotify;
    EXPECT_EQ(EncodeConfiguration(v)[111], 0x00);
    v.smsConfirm = false;
    EXPECT_EQ(EncodeConfiguration(v)[111], 0x01);
}

TEST(ConfigurationRoundTrip, ASemaltoWithEveryReportAndZeroSecondsComesBack) {
    ConfigImage image{};
    image[0] = 0x8B;
    PutText(image, 1, "48601000310_");
    image[15] = 0x8C;
    PutText(image, 16, "486010003109");
    image[30] = 0x80;
    PutText(image, 31, "____________");
    for (const int offset : {45, 60, 75}) {
        image[static_cast<std::size_t>(offset)] = 0x0C;
    }
    image[90] = 0x83;
    PutText(image, 91, "123_________");
    image[105] = 0x85;
    PutText(image, 106, "98765");
    image[111] = 0x00;
    image[112] = 0x93;
    image[113] = 0x80;
    image[114] = 0xE4;
    image[115] = 0x9F;
    image[116] = 1;
    image[117] = 23;
    image[118] = 0x23;  // the telephones in use: 1, 2 and 6
    image[119] = 0x87;
    image[120] = 0x40;
    const std::uint8_t timings[] = {0, 1, 59, 0, 30, 99, 1, 0};  // red 1:00 keeps its 0 seconds
    std::copy(std::begin(timings), std::end(timings), image.begin() + 121);
    image[130] = 0x80;
    EXPECT_EQ(ByteDiff(EncodeConfiguration(DecodeConfiguration(image)), image), kSame);
}

TEST(ConfigurationRoundTrip, AnyImageSettlesAfterOneEncoding) {
    std::mt19937 engine(7);
    for (int round = 0; round < 2000; ++round) {
        ConfigImage image;
        for (auto& byte : image) {
            byte = static_cast<std::uint8_t>(engine());
        }
        const ConfigImage once = EncodeConfiguration(DecodeConfiguration(image));
        const Configuration settled = DecodeConfiguration(once);
        ASSERT_EQ(ByteDiff(EncodeConfiguration(settled), once), kSame) << "round " << round;
        ASSERT_EQ(DecodeConfiguration(EncodeConfiguration(settled)), settled) << "round " << round;
    }
}

}  // namespace
}  // namespace zorvik::testing
