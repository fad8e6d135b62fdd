// Whether the Wine tests can run here: the Windows build's zorvik-cli.exe, Wine and a prefix of
// their own. Without them the program says why and ends with the status ctest takes for a skipped
// test, where a build configured by hand on a machine that has Wine but no Windows build would
// otherwise fail each one; scripts/wine-tests, which was asked to test that build, sets
// ZORVIK_WINE_TESTS_REQUIRED and fails instead.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <gtest/gtest.h>

namespace zorvik::testing {
namespace {

constexpr int kSkipped = 77;  // the status tests/wine/CMakeLists.txt gives ctest as skipped

// What is missing, or empty when nothing is.
std::string Missing() {
    std::error_code error;
    if (!std::filesystem::exists(ZORVIK_WINDOWS_CLI, error)) {
        return std::string("no Windows build: ") + ZORVIK_WINDOWS_CLI +
               " is missing (scripts/wine-tests builds it and runs these tests)";
    }
    if (!std::filesystem::exists(ZORVIK_WINE, error)) {
        return std::string("no Wine: ") + ZORVIK_WINE + " is missing";
    }
    if (std::getenv("WINEPREFIX") == nullptr) {
        return "no WINEPREFIX: these tests run in a Wine prefix of their own, which "
               "scripts/wine-tests makes";
    }
    return "";
}

class WineReady : public ::testing::Environment {
public:
    void SetUp() override {
        const std::string missing = Missing();
        if (missing.empty()) {
            return;
        }
        const bool required = std::getenv("ZORVIK_WINE_TESTS_REQUIRED") != nullptr;
        std::cerr << "the Wine tests " << (required ? "cannot run: " : "are skipped: ") << missing
                  << '\n';
        std::exit(required ? EXIT_FAILURE : kSkipped);
    }
};

const auto* const kWineReady = ::testing::AddGlobalTestEnvironment(new WineReady);

}  // namespace
}  // namespace zorvik::testing
