// The shared test images: the untouched window's and the catalogue of representable images.
#include "tests/support/ImageCatalogue.h"

#include <cstdio>
#include <random>

#include "sim/DeviceModel.h"

namespace zorvik::testing {

namespace {

// Choices that come out the same on every machine: the engine's output is fixed by the
// standard, the distributions' is not.
class Choices {
public:
    explicit Choices(std::uint32_t seed) : engine_(seed) {}
    int Between(int low, int high) {
        return low + static_cast<int>(engine_() % static_cast<std::uint32_t>(high - low + 1));
    }
    bool Coin() { return Between(0, 1) == 1; }
    std::string Digits(int count) {
        std::string digits;
        for (int i = 0; i < count; ++i) {
            digits.push_back(static_cast<char>('0' + Between(0, 9)));
        }
        return digits;
    }

private:
    std::mt19937 engine_;
};

ConfigImage RepresentableImage(Choices& c) {
    ConfigImage image{};
    PutNumber(image, 0, 12, c.Digits(c.Between(0, 12)));
    bool inUse[6];
    for (int k = 0; k < 6; ++k) {
        inUse[k] = c.Coin();
        if (inUse[k]) {
            PutNumber(image, 15 * (k + 1), 12, c.Digits(c.Between(0, 12)));
        } else {
            PutUnused(image, 15 * (k + 1), 12);
        }
    }
    if (c.Coin()) {
        PutNumber(image, 105, 5, c.Digits(c.Between(0, 5)));
    } else {
        PutUnused(image, 105, 5);
    }
    const std::uint8_t smsModes[] = {0x80, 0x00, 0x01};
    image[111] = smsModes[c.Between(0, 2)];
    const auto on = [&c](std::uint8_t bits) { return c.Coin() ? bits : std::uint8_t{0}; };
    image[112] = static_cast<std::uint8_t>(on(0x80) | on(0x40) | c.Between(1, 19));
    image[113] = static_cast<std::uint8_t>(on(0x80) | c.Between(0, 90));
    image[114] = static_cast<std::uint8_t>(on(0x80) | c.Between(1, 100));
    image[115] = static_cast<std::uint8_t>(on(0x80) | c.Between(0, 31));
    image[116] = static_cast<std::uint8_t>(c.Between(1, 48));
    image[117] = static_cast<std::uint8_t>(c.Between(0, 23));
    for (int k = 0; k < 6; ++k) {
        if (inUse[k] && c.Coin()) {
            image[118] |= static_cast<std::uint8_t>(1 << k);
        }
    }
    image[119] = static_cast<std::uint8_t>(on(0x80) | c.Between(0, 7));
    if (c.Coin()) {
        image[120] = on(0x40);
        for (int row = 0; row < 4; ++row) {
            image[121 + 2 * row] = static_cast<std::uint8_t>(c.Between(0, 59));
            image[122 + 2 * row] = static_cast<std::uint8_t>(c.Between(0, 99));
        }
    } else {
        image[120] = static_cast<std::uint8_t>(0x80 | on(0x01));
        if ((image[120] & 0x01) != 0) {
            image[119] &= 0x07;
        }
    }
    image[129] = static_cast<std::uint8_t>(c.Between(0, 99));
    image[130] = on(0x80);
    return image;
}

}  // namespace

ConfigImage InitialImage() {
    ConfigImage image{};
    image[0] = 0x80;
    for (int i = 1; i <= 12; ++i) {
        image[i] = 0x5F;
    }
    for (const int offset : {15, 30, 45, 60, 75, 90}) {
        image[offset] = 0x0C;
    }
    image[105] = 0x05;
    image[111] = 0x80;
    image[112] = 0x43;
    image[113] = 0x05;
    image[114] = 0x01;
    image[116] = 0x0C;
    image[117] = 0x07;
    image[120] = 0x80;
    image[129] = 0x0F;
    return image;
}

void PutNumber(ConfigImage& image, int offset, int capacity, std::string_view digits) {
    image[offset] = static_cast<std::uint8_t>(0x80 | digits.size());
    for (int i = 0; i < capacity; ++i) {
        image[offset + 1 + i] = i < static_cast<int>(digits.size())
                                    ? static_cast<std::uint8_t>(digits[i])
                                    : std::uint8_t{0x5F};
    }
}

void PutUnused(ConfigImage& image, int offset, int capacity) {
    image[offset] = static_cast<std::uint8_t>(capacity);
    for (int i = 0; i < capacity; ++i) {
        image[offset + 1 + i] = 0x00;
    }
}

std::vector<std::string> ByteDiff(const ConfigImage& got, const ConfigImage& want) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i] != want[i]) {
            char line[48];
            std::snprintf(line, sizeof line, "%zu: got %02X want %02X", i, got[i], want[i]);
            lines.emplace_back(line);
        }
    }
    return lines;
}

std::vector<ConfigImage> RepresentableImages() {
    std::vector<ConfigImage> images = {InitialImage(), DefaultDeviceImage()};
    // The far ends of every range: full numbers and PIN, top values, 0:00 and 99:59 timings.
    ConfigImage full = DefaultDeviceImage();
    for (int k = 0; k <= 6; ++k) {
        PutNumber(full, 15 * k, 12, "987654321098");
    }
    PutNumber(full, 105, 5, "00000");
    full[112] = 0xD3;
    full[113] = 0xDA;
    full[114] = 0xE4;
    full[115] = 0x9F;
    full[116] = 48;
    full[117] = 23;
    full[118] = 0x3F;
    full[120] = 0x40;
    const std::uint8_t timings[] = {0, 0, 59, 99, 0, 99, 59, 0};
    std::copy(std::begin(timings), std::end(timings), full.begin() + 121);
    full[129] = 99;
    full[130] = 0x80;
    images.push_back(full);

    Choices choices(20240611);
    for (int i = 0; i < 40; ++i) {
        images.push_back(RepresentableImage(choices));
    }
    return images;
}

}  // namespace zorvik::testing
