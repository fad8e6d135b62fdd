// Reading the configuration image from the device and writing it back ("Oczytaj" and "Zapisz").
//
// Read, after the common framing (DeviceExchange::RunAuthenticated) has got "O":
//   host 0x01; the device sends the image and its checksum (257 bytes) within the host's pause of
//   52 x 1 ms; host reads them in one call, sends 0x41 whatever arrived and closes the port; only
//   then is the block judged: a short block or a checksum that does not match is refused.
// Write, after "O":
//   host 0x81, the image and its checksum (257 bytes in one write), 0x00; pause 52 x 1 ms; then
//   up to 100 polls 25 ms apart for the device's verdict: "O" (stored, host sends 0xC1), "R",
//   "E" (the device computed another checksum) or nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "config/ConfigImage.h"
#include "device/DeviceExchange.h"

namespace zorvik {

constexpr std::uint8_t kOpReadImage = 0x01;      // the device answers with image + checksum
constexpr std::uint8_t kOpWriteImage = 0x81;     // an image + checksum follows
constexpr std::uint8_t kCloseAfterRead = 0x41;   // ends a read, whatever arrived
constexpr std::uint8_t kCloseAfterWrite = 0xC1;  // ends a write the device has stored

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::BadPassword;
    std::optional<ConfigImage> image;  // only with ReadOutcome::Read
    int received = 0;                  // bytes of the 257-byte block that arrived
};

// The read command: every step, byte, pause and notice, the success included (it is told
// before this returns, so the caller decodes the image only after the user has closed it).
// The image is returned only when all 257 bytes arrived and the checksum matched. `password` is
// the access password box's text; a text of other than 4 characters ends the command before the
// port is touched. Errors of the port layer pass through.
[[nodiscard]] ReadResult ReadConfiguration(DeviceExchange& exchange,
                                           const std::u16string& password);

// The write command. `onPasswordAccepted` runs as soon as the device has accepted the password
// (the window clears its password change box there), and `encodeImage` is called only after that,
// once, to build the image to send. Errors of the port layer pass through.
WriteOutcome WriteConfiguration(DeviceExchange& exchange, const std::u16string& password,
                                const std::function<void()>& onPasswordAccepted,
                                const std::function<ConfigImage()>& encodeImage);

}  // namespace zorvik
