// Two names for one port in one command are refused before any port opens.
#include <gtest/gtest.h>
#include <unistd.h>

#include "cli/Device.h"
#include "tests/support/TempFolder.h"

namespace zorvik::cli {
namespace {

TEST(SamePortTwice, ALinkAndItsTargetAreRefusedNamingBothOtherPortsPass) {
    const testing::TempFolder folder;
    const std::string tty = folder.Write("tty", {});
    const std::string other = folder.Write("other", {});
    const std::string link = folder.PathOf("link");
    ASSERT_EQ(symlink(tty.c_str(), link.c_str()), 0);

    try {
        RefuseSamePortTwice("provision", {tty, other, link});
        FAIL() << "the link to " << tty << " was taken as another port";
    } catch (const CliError& error) {
        EXPECT_EQ(error.Code(), Exit::Usage);
        EXPECT_EQ(std::string(error.what()),
                  "provision: " + tty + " and " + link + " are the same port; give each port once");
    }
    EXPECT_NO_THROW(RefuseSamePortTwice("provision", {tty, other, folder.PathOf("missing")}));
}

}  // namespace
}  // namespace zorvik::cli
