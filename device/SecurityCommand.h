// The security settings command: the anti-theft settings checked, laid out as the security record
// and sent to the device in one authenticated exchange.
#pragma once

#include <cstdint>
#include <string>

#include "config/SecurityRecord.h"
#include "device/DeviceExchange.h"

namespace zorvik {

constexpr std::uint8_t kOpSecurityRecord = 0x80;     // a security record and its checksum follow
constexpr std::uint8_t kCloseSecurityRecord = 0xC0;  // last byte after an accepted record

// Runs the whole command with its notices. The settings are checked before anything else.
[[nodiscard]] SecurityOutcome SendSecuritySettings(DeviceExchange& exchange,
                                                   const std::u16string& accessPassword,
                                                   const AntiTheftSettings& settings);

}  // namespace zorvik
