// The Linux build's help names Linux's places, signals and programs, each where its own code puts
// it (the Windows build's counterpart runs under Wine).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/CommandTable.h"
#include "cli/Help.h"

namespace zorvik::testing {
namespace {

TEST(LinuxHelp, NamesTheHistoryFolderTheComMapTheSignalsAndTheManualPage) {
    const struct {
        std::string text;
        std::vector<std::string> says;
    } texts[] = {
        {cli::ProgramHelp(),
         {"$XDG_STATE_HOME/zorvik-cli/history (~/.local/state/zorvik-cli/history)",
          "/dev/ttyUSB0 or /dev/serial/by-id/", "  130  interrupted by Ctrl-C\n",
          "  143  stopped by SIGTERM, SIGHUP (a closed terminal) or SIGPIPE (a closed pipe)\n",
          "  8    provision: at least one device failed", "'zorvik-sim --replay FILE'",
          "See zorvik-cli(1)"}},
        {cli::CommandHelp(*cli::FindCommand("ports")),
         {"COM1-COM8 are /dev/ttyS0-7, COM9-COM24 /dev/ttyUSB0-15,",
          "COM25-COM40 /dev/ttyACM0-15, COM41-COM50 links", "($XDG_RUNTIME_DIR/zorvik-gsm/ports)"}},
        {cli::CommandHelp(*cli::FindCommand("read")), {"/dev/stdout"}},
        {cli::CommandHelp(*cli::FindCommand("support-report")), {"the user's groups", "brltty"}},
    };
    for (const auto& [text, says] : texts) {
        for (const std::string& said : says) {
            EXPECT_NE(text.find(said), std::string::npos) << said << " not in\n" << text;
        }
    }
    EXPECT_NE(cli::FindCommand("doctor"), nullptr);
}

}  // namespace
}  // namespace zorvik::testing
