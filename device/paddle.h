#pragma once
// The paddles' whole setting is one byte: 0-100 is combined mode on with the
// bite point at that value, anything above is combined mode off.

#include "device/protocol.h"

#include <cstdint>

namespace vorla {

constexpr std::uint8_t kPaddleMaxBitePoint = 100;
constexpr std::uint8_t kPaddleOff = 0xFF; // what a store with combined mode off writes

// Byte 3 of the paddle setting report.
constexpr std::size_t kPaddleValueByte = 2;
constexpr std::size_t kPaddleCommitByte = 3;
constexpr std::uint8_t kPaddleCommitStore = 0xEF;
constexpr std::uint8_t kPaddleCommitPreview = 0x00;

constexpr bool paddleCombined(std::uint8_t value) { return value <= kPaddleMaxBitePoint; }

// The feature report that previews or stores a paddle value; bytes 4-19 zero.
Report paddleReport(std::uint8_t value, bool store);

} // namespace vorla
