// The configuration value without a window: any bytes, taken as an image, settle after one
// encoding; taken as the text form, they are either taken whole or refused at their first bad line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "config/ConfigText.h"
#include "config/Configuration.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "Broken: %s\n", what);
        std::abort();
    }
}

// The text up to the start of line `line` (1-based), without that line.
std::string_view LinesBefore(std::string_view text, int line) {
    std::size_t end = 0;
    for (int i = 1; i < line; ++i) {
        end = text.find('\n', end);
        Require(end != std::string_view::npos, "an error names a line of the text");
        ++end;
    }
    return text.substr(0, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvik;

    // A shorter input is the start of an image whose other bytes are 0; a longer one is cut.
    ConfigImage image{};
    std::copy_n(data, std::min(size, image.size()), image.begin());
    // Decoding is a function of the bytes, so once the image settles, so does the value.
    const ConfigImage once = EncodeConfiguration(DecodeConfiguration(image));
    const Configuration settled = DecodeConfiguration(once);
    Require(EncodeConfiguration(settled) == once, "an encoded image encodes again unchanged");

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Configuration parsed = settled;
    if (const auto error = TryParseConfigText(text, settled, parsed)) {
        Require(error->Line() >= 1, "a text error names its line");
        Require(parsed == settled, "a refused text sets nothing");
        // The lines before the one named were good: the error is the first one.
        Require(!TryParseConfigText(LinesBefore(text, error->Line()), settled, parsed),
                "the lines before an error are taken");
    } else {
        // Whatever a text sets, its image settles like any other.
        const ConfigImage image =
            EncodeConfiguration(DecodeConfiguration(EncodeConfiguration(parsed)));
        Require(EncodeConfiguration(DecodeConfiguration(image)) == image,
                "an accepted text's image encodes again unchanged");
    }
    return 0;
}
