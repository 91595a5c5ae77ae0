#pragma once
// Firmware upload: the image goes to the wheel in 16-byte data reports, each
// naming its chunk number, and a finish report then makes the wheel write it.

#include "device/protocol.h"

#include <cstddef>
#include <cstdint>

namespace vorla {

// The largest image the wheel takes: 224 KiB, 0x3800 chunks.
constexpr std::int64_t kMaxFirmwareSize = 0x38000;
constexpr std::size_t kFirmwareChunkSize = 16;

// An image the wheel takes: at least one byte, at most kMaxFirmwareSize.
constexpr bool isFirmwareSize(std::int64_t size) { return size >= 1 && size <= kMaxFirmwareSize; }

// Data report: byte 1 = kCmdFirmwareData | chunk bits 8-14, byte 2 = chunk
// bits 0-7, byte 3 = length (1-16), then the data.
constexpr std::size_t kFirmwareLengthByte = 3;
constexpr std::size_t kFirmwareDataOffset = 4;
static_assert(kFirmwareDataOffset + kFirmwareChunkSize == kReportSize, "a full chunk fills a report");
static_assert(kMaxFirmwareSize / kFirmwareChunkSize <= 0x8000, "chunk numbers fit in 15 bits");

// Progress the worker reports: 0-95 while sending, 97-99 while the wheel
// writes, kProgressDone at the end.
constexpr int kProgressTransferScale = 96;
constexpr int kProgressWritingFirst = 97;
constexpr int kProgressDone = 100;

// Turns `report` into the data report of the chunk starting at image byte
// `offset` (a multiple of 16) carrying `length` (1-16) bytes from `data`. The
// bytes after the data keep what they held, as the wheel has always seen them.
void setFirmwareDataReport(Report &report, std::uint32_t offset, const std::uint8_t *data, std::size_t length);

// Turns the last data report into the finish report: only byte 1 changes.
void setFirmwareFinishReport(Report &report);

constexpr bool isFirmwareData(std::uint8_t command) { return (command & kCmdFirmwareData) != 0; }

// The chunk number a data report carries.
constexpr std::uint16_t firmwareChunkNumber(const std::uint8_t *report)
{
    return static_cast<std::uint16_t>(((report[1] & 0x7F) << 8) | report[2]);
}

// Transfer progress (0-95) once the chunk starting at `offset` of an image of
// `size` bytes has been accepted.
constexpr int firmwareProgress(std::int64_t offset, std::int64_t size)
{
    return static_cast<int>(offset * kProgressTransferScale / size);
}

} // namespace vorla
