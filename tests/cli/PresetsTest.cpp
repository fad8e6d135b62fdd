// Presets laid over a start in order, as one table: what the result holds, or what is refused.
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/ConfigForms.h"
#include "cli/ExitCode.h"
#include "cli/Presets.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

struct PresetCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // name, content, applied in order
    bool laterWins;
    std::vector<std::string> expectedLines;  // lines of the result's text form
    std::string expectedError;               // or the words the refusal holds
};

TEST(Presets, LayerInOrderAndRefuseAKeyTwoPresetsGive) {
    const std::vector<PresetCase> cases = {
        {"disjoint layers all apply",
         {{"base.txt", "sms_centre.number = +48601000310\nswitch_off.delay_minutes = 15\n"},
          {"roaming.json", R"({"gsm.network": "roaming"})"},
          {"site.txt", "phone.1.in_use = yes\nphone.1.number = +48600111222\n"}},
         false,
         {"sms_centre.number = +48601000310", "switch_off.delay_minutes = 15",
          "gsm.network = roaming", "phone.1.number = +48600111222"},
         ""},
        {"a key in two presets is refused, naming both",
         {{"a.txt", "gsm.network = roaming\n"}, {"b.json", R"({"gsm.network": "home_only"})"}},
         false,
         {},
         "a.txt and .*b.json both give gsm.network"},
        {"with override the later preset wins",
         {{"a.txt", "gsm.network = roaming\n"}, {"b.json", R"({"gsm.network": "home_only"})"}},
         true,
         {"gsm.network = home_only"},
         ""},
        {"an image is no preset", {{"x.zvk", std::string(256, '\0')}}, false, {}, "not a .zvk"},
        {"a bad setting is named",
         {{"a.txt", "gsm.network = roaming\n"}, {"b.txt", "report.interval_hours = 99\n"}},
         false,
         {},
         "b.txt"},
    };
    for (const PresetCase& test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder folder;
        std::vector<std::string> paths;
        for (const auto& [name, content] : test.files) {
            paths.push_back(folder.Write(name, TempFolder::Bytes(content.begin(), content.end())));
        }
        try {
            const std::string text = cli::Render(
                cli::ApplyPresets(DefaultConfiguration(), paths, test.laterWins), cli::Form::Text);
            EXPECT_TRUE(test.expectedError.empty()) << "not refused";
            for (const std::string& line : test.expectedLines) {
                EXPECT_NE(text.find(line + "\n"), std::string::npos) << line;
            }
        } catch (const cli::CliError& error) {
            EXPECT_EQ(error.Code(), cli::Exit::FileError);
            EXPECT_FALSE(test.expectedError.empty()) << error.what();
            EXPECT_TRUE(std::regex_search(error.what(), std::regex(test.expectedError)))
                << error.what();
        }
    }
}

}  // namespace
}  // namespace zorvik::testing
