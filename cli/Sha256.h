// SHA-256 of a few bytes, written as lowercase hex: what a report line says a device holds.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zorvik::cli {

[[nodiscard]] std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace zorvik::cli
