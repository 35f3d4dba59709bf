#pragma once

#include <cstdint>

// USB identity of the cooling unit. The udev rule in resources/ and the README carry the same
// pair; change all three together.
constexpr std::uint16_t kUnitVendorId = 0x1209;
constexpr std::uint16_t kUnitProductId = 0x7A52;
constexpr std::uint8_t kUnitInterface = 0;
constexpr std::uint8_t kUnitAlternateSetting = 0;
