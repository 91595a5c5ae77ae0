#pragma once
// The wheel's 26 RGB LEDs and the block that carries their colours.
//
// The wheel keeps four bits per channel. Two channel values share a byte:
// value 2i in the low nibble of byte i, value 2i+1 in its high nibble; values
// 3k, 3k+1, 3k+2 are red, green and blue of LED slot k. The block travels in
// three 18-byte chunks, both when it is written (LED chunk reports) and when it
// is read back (query selectors 0, 1, 2).

#include "device/protocol.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorla {

constexpr std::size_t kLedCount = 26;
constexpr std::size_t kLedChannelCount = 3 * kLedCount;   // 78 four-bit values
constexpr std::size_t kLedChannelBytes = kLedChannelCount / 2; // bytes 0-38
constexpr std::size_t kLedBlockSize = 54;
constexpr std::size_t kLedChunkSize = 18;
constexpr std::size_t kLedChunkCount = kLedBlockSize / kLedChunkSize;
static_assert(kLedChunkCount * kLedChunkSize == kLedBlockSize, "the block is three whole chunks");
static_assert(kLedChunkSize + 2 == kReportSize, "a chunk fills a report after id and chunk number");

// Byte 53 of a written block says what the wheel does with it.
constexpr std::size_t kLedCommitByte = 53;
constexpr std::uint8_t kLedCommitStore = 0x5E;
constexpr std::uint8_t kLedCommitPreview = 0xFF;

// The block as the start-up read collects it: the three chunks, the rest zero.
constexpr std::size_t kLedReadBufferSize = 72;

// Screen brightness (8 bits) of each of the wheel's 16 levels.
constexpr std::array<std::uint8_t, 16> kLevelTable = {
    0, 4, 9, 17, 28, 39, 53, 69, 86, 106, 126, 149, 173, 199, 226, 255};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb &a, const Rgb &b)
    {
        return a.red == b.red && a.green == b.green && a.blue == b.blue;
    }
    friend bool operator!=(const Rgb &a, const Rgb &b) { return !(a == b); }
};

using LedColors = std::array<Rgb, kLedCount>;
using LedBlock = std::array<std::uint8_t, kLedBlockSize>;

// The button of the LED page that shows each slot, by its name on the page
// (the form names it with a "pb" prefix). D13, D23, D16 and D26 each stand for
// three LEDs that always share a colour, so each is named three times.
constexpr std::array<const char *, kLedCount> kLedSlotButtons = {
    "B1",  "B9",  "B2",  "B10", "B3",  "B11", "B4",  "B12", "B5",
    "B13", "B6",  "B14", "D13", "D23", "D13", "D23", "D13", "D23",
    "D16", "D26", "D16", "D26", "D16", "D26", "D3",  "D4",
};

// The wheel's level (0-15) whose screen value is nearest to an 8-bit channel;
// a tie goes to the lower level. Every screen value of kLevelTable maps back to
// its own level, so colours read from the wheel are written back unchanged.
std::uint8_t levelForChannel(std::uint8_t channel);

// The colours of all slots encoded as a block, with the commit byte set for a
// store or a preview. Bytes 39-52 are zero.
LedBlock packLedBlock(const LedColors &colours, bool store);

// The colours of all slots decoded from the first kLedChannelBytes bytes of a
// block through kLevelTable; the rest of the block is ignored.
LedColors unpackLedBlock(const std::uint8_t *block);

// The output report carrying chunk `chunk` (0-2) of a block.
Report ledChunkReport(const LedBlock &block, std::size_t chunk);

} // namespace vorla
