// The files the window is given, the same for both faces: on its command line and dropped onto it.
#include <gtest/gtest.h>

#include "form/Form1.h"
#include "form/ProgramArguments.h"

namespace zorvik {
namespace {

TEST(ProgramArguments, TakeOneFileBesideHelpAndVersionAndRefuseTheRest) {
    EXPECT_EQ(ReadProgramArguments({"site.zvk"}).file, "site.zvk");
    EXPECT_FALSE(ReadProgramArguments({}).file.has_value());
    EXPECT_TRUE(ReadProgramArguments({"site.zvk", "--help"}).help);
    EXPECT_TRUE(ReadProgramArguments({"--version", "x", "y"}).version);
    EXPECT_EQ(ReadProgramArguments({"--", "-odd.zvk"}).file, "-odd.zvk");
    EXPECT_EQ(ReadProgramArguments({"-"}).file, "-");

    EXPECT_EQ(ReadProgramArguments({"-platform", "xcb"}).error, "unknown option: -platform");
    EXPECT_EQ(ReadProgramArguments({"a.zvk", "b.zvk"}).error,
              "one configuration file at most, not also b.zvk");
    EXPECT_EQ(ReadProgramArguments({"a.zvk"}).error, "");
}

TEST(DroppedConfigFile, TakesOneZvkInAnyCaseAndNothingElse) {
    using Paths = std::vector<std::string>;
    const std::pair<Paths, std::optional<std::string>> drops[] = {
        {{"/home/ola/site.zvk"}, "/home/ola/site.zvk"},
        {{"C:\\Dane\\Łódź.ZVK"}, "C:\\Dane\\Łódź.ZVK"},
        {{"site.zvk", "other.zvk"}, std::nullopt},
        {{"firmware.bin"}, std::nullopt},
        {{"zvk"}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& [paths, taken] : drops) {
        EXPECT_EQ(form::DroppedConfigFile(paths), taken) << paths.size();
    }
}

}  // namespace
}  // namespace zorvik
