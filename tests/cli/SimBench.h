// A simulator on a pty beside the end-to-end tests of zorvik-cli, and the program run against it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/cli/CliProcess.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {

// A simulator registered in a runtime folder of the test's own, so that the program finds it by
// its COM name as a user's configurator would, through $XDG_RUNTIME_DIR. It sends without line
// pacing: at 57600 baud a 257-byte block leaves only 7 ms of the host's 52 ms pause spare, which
// a busy test machine can take from the simulator.
class Bench {
public:
    explicit Bench(std::vector<std::string> simArgs = {}) { Restart(std::move(simArgs)); }

    // Stops the simulator and starts another with `simArgs` in the same runtime folder.
    void Restart(std::vector<std::string> simArgs) {
        sim_.reset();
        simArgs.insert(simArgs.begin(),
                       {"--ports-dir", folder_.PathOf("runtime/zorvik-gsm/ports"), "--no-pacing"});
        sim_ = std::make_unique<SimProcess>(ZORVIK_SIM_PROGRAM, simArgs);
    }

    [[nodiscard]] const std::string& Port() const { return sim_->Name(); }
    [[nodiscard]] SimProcess& Sim() { return *sim_; }
    [[nodiscard]] const TempFolder& Folder() const { return folder_; }

    // Runs zorvik-cli with the simulator's runtime folder, and no password or trace from the
    // environment the tests run in.
    CliRun Run(std::vector<std::string> args, CliCall call = {}) {
        call.args = std::move(args);
        call.env.emplace("XDG_RUNTIME_DIR", folder_.PathOf("runtime"));
        call.unset.push_back("ZORVIK_PASSWORD");
        call.unset.push_back("ZORVIK_TRACE");
        return RunCli(ZORVIK_CLI_PROGRAM, call);
    }

    // Writes a text file into the test's folder and returns its path.
    std::string WriteText(const std::string& name, const std::string& text) {
        return folder_.Write(name, TempFolder::Bytes(text.begin(), text.end()));
    }

    // A file of the test's folder, as text.
    [[nodiscard]] std::string Text(const std::string& name) const {
        const TempFolder::Bytes bytes = TempFolder::Read(folder_.PathOf(name));
        return std::string(bytes.begin(), bytes.end());
    }

private:
    TempFolder folder_;
    std::unique_ptr<SimProcess> sim_;
};

}  // namespace zorvik::testing
