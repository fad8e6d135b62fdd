// The text and JSON forms of the configuration value: their round trips, their spelling, and a
// named error for each kind of bad input.
#include <gtest/gtest.h>

#include <string>

#include "config/ConfigJson.h"
#include "config/ConfigText.h"
#include "config/FormGrammar.h"
#include "tests/support/ImageCatalogue.h"

namespace zorvik::testing {
namespace {

// A value with every kind of setting away from its default.
Configuration Sample() {
    Configuration v;
    v.telephones[2] = {true, "48601234567"};
    v.telephones[4] = {true, "48_0"};
    v.simPin = {true, "0042"};
    v.smsControl = SmsControlMode::ControlAndNotify;
    v.smsConfirm = true;
    v.lowBattery = {true, 35, true};
    v.gpsChange.distanceMetres = 1000;
    v.reports.toTelephone[2] = true;
    v.lightFailure = {true, false, true, false};
    v.deviceType = DeviceType::Semalto;
    v.signalHead = SignalHead::S2;
    v.lightTimes[3] = {99, 59};
    v.network = GsmNetwork::Roaming;
    v.reserved[0] = 0x2A;   // offset 13
    v.reserved.back() = 1;  // offset 255
    return v;
}

std::string Line(const std::string& text, const std::string& key) {
    const auto at = text.find("\n" + key + " ");
    if (at == std::string::npos) {
        return "(none)";
    }
    return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

TEST(ConfigText, WritesEverySettingInImageOrderAndReadsItBack) {
    const std::string text = FormatConfigText(Sample());
    EXPECT_EQ(text.substr(0, text.find('\n')), "sms_centre.in_use = yes");
    EXPECT_EQ(Line(text, "sms_centre.number"), "sms_centre.number =");
    EXPECT_EQ(Line(text, "phone.3.number"), "phone.3.number = +48601234567");
    EXPECT_EQ(Line(text, "phone.5.number"), "phone.5.number = +48_0");
    EXPECT_EQ(Line(text, "sim_pin.number"), "sim_pin.number = 0042");
    EXPECT_EQ(Line(text, "notify.low_battery.enabled"), "notify.low_battery.enabled = yes");
    EXPECT_EQ(Line(text, "device.type"), "device.type = semalto");
    EXPECT_EQ(Line(text, "timing.green_2.minutes"), "timing.green_2.minutes = 99");
    EXPECT_EQ(Line(text, "gsm.network"), "gsm.network = roaming");
    EXPECT_EQ(Line(text, "reserved.13"), "reserved.13 = 0x2A");
    EXPECT_EQ(Line(text, "reserved.14"), "(none)");  // zero bytes are left out
    // The image's order: the SMS centre's spare after its number, telephone 1 after that.
    EXPECT_LT(text.find("sms_centre.number"), text.find("reserved.13"));
    EXPECT_LT(text.find("reserved.13"), text.find("phone.1.in_use"));
    EXPECT_LT(text.find("sms_control.mode"), text.find("notify.low_battery"));
    EXPECT_LT(text.find("report.to_phone.6"), text.find("notify.light_failure.enabled"));
    EXPECT_LT(text.find("timing.red.seconds"), text.find("timing.red.minutes"));
    EXPECT_LT(text.find("gsm.network"), text.find("reserved.255"));

    EXPECT_EQ(ParseConfigText(text, Configuration{}), Sample());
    for (const ConfigImage& image : RepresentableImages()) {
        const Configuration v = DecodeConfiguration(image);
        EXPECT_EQ(ParseConfigText(FormatConfigText(v), Configuration{}), v);
    }
}

TEST(ConfigText, KeysNotGivenKeepTheBaseAndCommentsAndBlankLinesAreSkipped) {
    const Configuration v = ParseConfigText(
        "# telephones\r\n\n  phone.1.in_use=yes  \nphone.1.number = 48500100200\n"
        "sim_pin.number =\nnotify.gps_position.distance_metres = 250",
        Sample());
    Configuration want = Sample();
    want.telephones[0] = {true, "48500100200"};
    want.simPin.number.clear();
    want.gpsChange.distanceMetres = 250;
    EXPECT_EQ(v, want);
}

void ExpectError(std::string_view text, int line, const std::string& key,
                 const std::string& words) {
    try {
        (void)ParseConfigText(text, Configuration{});
        ADD_FAILURE() << "accepted: " << text;
    } catch (const ConfigParseError& error) {
        EXPECT_EQ(error.Line(), line) << text;
        EXPECT_EQ(error.Key(), key) << text;
        EXPECT_NE(std::string(error.what()).find(words), std::string::npos)
            << error.what() << " lacks " << words;
    }
}

TEST(ConfigText, NamesTheLineAndKeyOfEachKindOfBadInput) {
    const std::string good = "phone.1.in_use = yes\n";
    ExpectError(good + "phone.7.in_use = yes\n", 2, "phone.7.in_use", "line 2: phone.7.in_use");
    ExpectError(good + "reserved.120 = 1\n", 2, "reserved.120", "unknown key");
    ExpectError(good + "phone.1.in_use = no\n", 2, "phone.1.in_use", "given twice");
    ExpectError(good + "phone.1.number\n", 2, "", "key = value");
    ExpectError(good + "= yes\n", 2, "", "key");
    ExpectError(good + "report.enabled = true\n", 2, "report.enabled", "yes or no");
    ExpectError(good + "device.type = wardeno gsm\n", 2, "device.type", "wardeno or semalto");
    ExpectError(good + "phone.2.number = +48 601\n", 2, "phone.2.number", "digits");
    ExpectError(good + "phone.2.number = +4860123456789\n", 2, "phone.2.number", "out of range");
    ExpectError(good + "sim_pin.number = +1234\n", 2, "sim_pin.number", "digits");
    ExpectError(good + "report.interval_hours = 49\n", 2, "report.interval_hours", "out of range");
    ExpectError(good + "report.start_hour = -1\n", 2, "report.start_hour", "whole number");
    ExpectError(good + "notify.low_battery.threshold_percent = 17\n", 2,
                "notify.low_battery.threshold_percent", "steps of 5");
    ExpectError(good + "timing.red.seconds = 99999999999\n", 2, "timing.red.seconds",
                "out of range");
    ExpectError(good + "reserved.200 = 0x100\n", 2, "reserved.200", "out of range");
    ExpectError(good + "reserved.200 = 0xZZ\n", 2, "reserved.200", "a byte");
}

TEST(ConfigJson, WritesTypedMembersInImageOrderAndReadsThemBack) {
    const std::string json = FormatConfigJson(Sample());
    EXPECT_NE(json.find("\"phone.3.number\": \"+48601234567\","), std::string::npos) << json;
    EXPECT_NE(json.find("\"notify.low_battery.enabled\": true,"), std::string::npos);
    EXPECT_NE(json.find("\"report.interval_hours\": 12,"), std::string::npos);
    EXPECT_NE(json.find("\"device.type\": \"semalto\","), std::string::npos);
    EXPECT_NE(json.find("\"reserved.255\": \"0x01\"\n}"), std::string::npos);
    EXPECT_LT(json.find("sms_centre.in_use"), json.find("phone.1.in_use"));
    EXPECT_EQ(ParseConfigJson(json, Configuration{}), Sample());

    // Strings in the text form's spelling are taken too, and missing members keep the base.
    const Configuration v = ParseConfigJson(
        R"({"report.enabled": "yes", "report.start_hour": "3", "reserved.131": 255})", Sample());
    Configuration want = Sample();
    want.reports.enabled = true;
    want.reports.startHour = 3;
    want.reserved[14] = 0xFF;
    EXPECT_EQ(v, want);
}

// Every bad member is refused by its key and line, a number however large or small included.
TEST(ConfigJson, NamesTheKeyAndLineOfEachKindOfBadInput) {
    struct Case {
        std::string_view json;
        std::string key;
        int line;
        std::string_view words;
    };
    const Case cases[] = {
        {"{\"report.enabled\": true,", "", 1, "not JSON"},
        {"{\n\"report.enabled\": true,\n\"x\" 1}", "", 3, "not JSON"},
        {"[1, 2]", "", 1, "one JSON object"},
        {"7", "", 1, "one JSON object"},
        {R"({"report.enabled": true, "phone.0.in_use": true})", "phone.0.in_use", 1, "expected"},
        {"{\n\"report.enabled\": true,\n  \"report.enabled\": false}", "report.enabled", 3,
         "twice"},
        {R"({"report.enabled": [true]})", "report.enabled", 1, "expected"},
        {R"({"report.enabled": null})", "report.enabled", 1, "expected"},
        {R"({"report.interval_hours": 2.5})", "report.interval_hours", 1, "whole number"},
        {"{\"report.enabled\": true,\n\"report.interval_hours\": 0}", "report.interval_hours", 2,
         "out of range"},
        {R"({"report.interval_hours": -4})", "report.interval_hours", 1, ""},
        {R"({"device.type": 1})", "device.type", 1, ""},
        {R"({"report.interval_hours": 12345678901234567890})", "report.interval_hours", 1,
         "out of range"},
        {R"({"report.interval_hours": -98765432109876543210})", "report.interval_hours", 1,
         "out of range"},
        {R"({"report.interval_hours": 1e12})", "report.interval_hours", 1, "out of range"},
        {"{\"a\\\"{\": {\"[\": 1},\n\"report.interval_hours\":\n1e400}", "report.interval_hours", 2,
         "out of range"},
        {"{\n\n\"report.interval_hours\": -1e400}", "report.interval_hours", 3, "out of range"},
        {R"({"report.interval_hours": 1e-400})", "report.interval_hours", 1, "out of range"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            (void)ParseConfigJson(c.json, Configuration{});
            ADD_FAILURE() << "accepted";
        } catch (const ConfigParseError& e) {
            EXPECT_EQ(e.Key(), c.key);
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_NE(std::string(e.what()).find(c.words), std::string::npos) << e.what();
        }
    }
}

TEST(ConfigJson, TakesWholeNumbersHoweverTheyAreWritten) {
    const Configuration v =
        ParseConfigJson(R"({"report.interval_hours": 1.2e1, "report.start_hour": 3.0})", Sample());
    EXPECT_EQ(v.reports.intervalHours, 12);
    EXPECT_EQ(v.reports.startHour, 3);
}

// The grammar both text forms read with: comments, blanks and carriage returns do not count, and
// the first line that is no setting stops the reading with its number.
TEST(FormGrammar, TakesKeysAndValuesAndStopsAtTheFirstLineThatIsNoSetting) {
    FormReader reader(
        "# a comment\r\n\n  key = value  # after a value\r\n\tother=\n= lone\nlast = 1\n");
    std::vector<std::string> taken;
    while (const auto line = reader.Next()) {
        taken.push_back(std::to_string(line->number) + " " + std::string(line->key) + "=" +
                        std::string(line->value));
    }
    EXPECT_EQ(taken, (std::vector<std::string>{"3 key=value", "4 other="}));
    ASSERT_TRUE(reader.Error().has_value());
    EXPECT_EQ(reader.Error()->line, 5);
    EXPECT_EQ(reader.Error()->message, "expected a key before \"=\"");

    FormReader noEquals("a = 1\njust words\n");
    EXPECT_TRUE(noEquals.Next().has_value());
    EXPECT_FALSE(noEquals.Next().has_value());
    ASSERT_TRUE(noEquals.Error().has_value());
    EXPECT_EQ(noEquals.Error()->line, 2);
    EXPECT_EQ(noEquals.Error()->message, "expected \"key = value\"");
}

}  // namespace
}  // namespace zorvik::testing
