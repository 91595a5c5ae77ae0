#pragma once
// Wire constants of the wheel's HID protocol. Every report the program and the
// simulated wheel exchange is built from these names; nothing else spells bytes.
//
// Every buffer handed to hidapi starts with the report id (hidapi's convention),
// and every report the program sends is kReportSize bytes long.

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorla {

using Report = std::array<std::uint8_t, 20>;

constexpr std::uint16_t kVendorId = 0xC872;
constexpr std::uint16_t kProductId = 0x2007;

constexpr std::size_t kReportSize = std::tuple_size<Report>::value;
static_assert(kReportSize == 20, "the wheel speaks in 20-byte reports");

// Report ids (byte 0).
constexpr std::uint8_t kFeatureReportId = 0x02; // queries, settings, firmware
constexpr std::uint8_t kLedReportId = 0x03;     // LED chunks, sent with hid_write

// Commands of feature reports (byte 1).
constexpr std::uint8_t kCmdQuery = 0x0B;
constexpr std::uint8_t kCmdPaddle = 0x0A;
constexpr std::uint8_t kCmdFirmwareData = 0x80;   // OR-ed with bits 8-14 of the chunk number
constexpr std::uint8_t kCmdFirmwareFinish = 0x10;

// Query: byte 2 selects what the wheel answers with.
constexpr std::size_t kQuerySelectorByte = 2;
constexpr std::uint8_t kSelectorLedChunk0 = 0; // LED chunks are selectors 0, 1, 2
constexpr std::uint8_t kSelectorVersion = 9;
constexpr std::uint8_t kSelectorPaddle = 10;

// The LED chunk queries ask hidapi for one byte more than a report.
constexpr std::size_t kLedQueryReadLength = 21;
constexpr std::size_t kQueryReadLength = kReportSize;
constexpr std::size_t kQueryBufferSize = kLedQueryReadLength;

// Offsets of the answers inside a query response.
constexpr std::size_t kResponseLedSliceOffset = 2;  // 18 bytes of the LED block
constexpr std::size_t kResponsePaddleOffset = 2;    // the paddle value
constexpr std::size_t kResponseVersionOffset = 1;   // text up to the first zero, bytes 1-19

} // namespace vorla
