// bench-config: the time the pure codec takes to decode and to encode one configuration image, and
// how many inputs a second the configuration fuzz target's checks get through in this build.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "config/ConfigText.h"
#include "config/Configuration.h"

// The fuzz target's body, compiled into this program.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace zorvik {
namespace {

constexpr double kTargetMicros = 2.0;         // per image, for decoding and for encoding
constexpr int kImages = 64;                   // distinct images, so no branch is learnt by heart
constexpr int kCodecRounds = 20000;           // passes over them
constexpr double kFuzzTargetPerSecond = 1e5;  // under AddressSanitizer, with the fuzzer's coverage
constexpr int kFuzzInputs = 20000;

using Clock = std::chrono::steady_clock;

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Random images and images the window could have stored, half and half.
std::vector<ConfigImage> Images(std::mt19937& engine) {
    std::vector<ConfigImage> images;
    for (int i = 0; i < kImages; ++i) {
        ConfigImage image{};
        for (auto& byte : image) {
            byte = static_cast<std::uint8_t>(engine());
        }
        images.push_back(i % 2 == 0 ? image : EncodeConfiguration(DecodeConfiguration(image)));
    }
    return images;
}

// What the fuzzer feeds the target: short and long byte strings, texts in the form and broken ones.
std::vector<std::string> FuzzInputs(std::mt19937& engine) {
    const std::string text = FormatConfigText(DecodeConfiguration(Images(engine)[1]));
    std::vector<std::string> inputs;
    for (int i = 0; i < kFuzzInputs; ++i) {
        std::string input;
        switch (i % 4) {
            case 0:
                input.resize(engine() % 300);
                std::generate(input.begin(), input.end(), [&] { return char(engine()); });
                break;
            case 1:
                input = text.substr(0, engine() % text.size());
                break;
            case 2:
                input = text;
                input[engine() % input.size()] = char(engine());
                break;
            default:
                input = text.substr(engine() % text.size(), 120);
                break;
        }
        inputs.push_back(std::move(input));
    }
    return inputs;
}

}  // namespace
}  // namespace zorvik

int main() {
    using namespace zorvik;
    std::mt19937 engine(20241209);
    const std::vector<ConfigImage> images = Images(engine);

    std::vector<Configuration> values(images.size());
    auto start = Clock::now();
    for (int round = 0; round < kCodecRounds; ++round) {
        for (std::size_t i = 0; i < images.size(); ++i) {
            values[i] = DecodeConfiguration(images[i]);
        }
    }
    const double decodeMicros = MicrosSince(start) / (double(kCodecRounds) * kImages);

    unsigned sink = 0;
    start = Clock::now();
    for (int round = 0; round < kCodecRounds; ++round) {
        for (const Configuration& value : values) {
            sink += EncodeConfiguration(value)[static_cast<std::size_t>(round % kImageSize)];
        }
    }
    const double encodeMicros = MicrosSince(start) / (double(kCodecRounds) * kImages);

    const std::vector<std::string> inputs = FuzzInputs(engine);
    start = Clock::now();
    for (const std::string& input : inputs) {
        sink += static_cast<unsigned>(LLVMFuzzerTestOneInput(
            reinterpret_cast<const std::uint8_t*>(input.data()), input.size()));
    }
    const double fuzzPerSecond = double(inputs.size()) / (MicrosSince(start) / 1e6);

    std::printf("decode: %.3f us per image (target under %.1f us)%s\n", decodeMicros, kTargetMicros,
                decodeMicros < kTargetMicros ? "" : "  ABOVE TARGET");
    std::printf("encode: %.3f us per image (target under %.1f us)%s\n", encodeMicros, kTargetMicros,
                encodeMicros < kTargetMicros ? "" : "  ABOVE TARGET");
    std::printf(
        "fuzz_configuration checks: %.0f inputs per second in this build "
        "(target %.0f under AddressSanitizer with coverage)\n",
        fuzzPerSecond, kFuzzTargetPerSecond);
    return sink == 0xFFFFFFFFu ? 1 : 0;  // keeps the work from being optimised away
}
