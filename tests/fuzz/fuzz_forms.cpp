// The form readers without a target of their own: any bytes as the JSON form are either taken, and
// then written and read back to the same value, or refused with a ConfigParseError that names a
// line of the text; as the anti-theft form they are taken or refused as a file error, never more.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "cli/ExitCode.h"
#include "cli/SecurityForm.h"
#include "config/ConfigJson.h"
#include "config/Configuration.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "Broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const Configuration base = DefaultConfiguration();
    try {
        const Configuration parsed = ParseConfigJson(text, base);
        Require(ParseConfigJson(FormatConfigJson(parsed), base) == parsed,
                "a taken JSON form is written and read back unchanged");
    } catch (const ConfigParseError& error) {
        const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
        Require(error.Line() >= 1 && error.Line() <= lines,
                "a JSON error names a line of the text");
    }

    try {
        (void)cli::ParseSecurityForm(text, "form");
    } catch (const cli::CliError& error) {
        Require(error.Code() == cli::Exit::FileError, "a bad anti-theft form is a file error");
    }
    return 0;
}
