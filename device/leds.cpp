#include "device/leds.h"

#include <cstdlib>

namespace vorla {

std::uint8_t levelForChannel(std::uint8_t channel)
{
    std::uint8_t best = 0;
    for (std::uint8_t level = 1; level < kLevelTable.size(); ++level) {
        // Strictly nearer only, so a tie keeps the lower level.
        if (std::abs(kLevelTable[level] - channel) < std::abs(kLevelTable[best] - channel))
            best = level;
    }
    return best;
}

LedBlock packLedBlock(const LedColors &colours, bool store)
{
    std::array<std::uint8_t, kLedChannelCount> levels{};
    for (std::size_t k = 0; k < kLedCount; ++k) {
        levels[3 * k] = levelForChannel(colours[k].red);
        levels[3 * k + 1] = levelForChannel(colours[k].green);
        levels[3 * k + 2] = levelForChannel(colours[k].blue);
    }
    LedBlock block{};
    for (std::size_t i = 0; i < kLedChannelBytes; ++i)
        block[i] = static_cast<std::uint8_t>(levels[2 * i] | (levels[2 * i + 1] << 4));
    block[kLedCommitByte] = store ? kLedCommitStore : kLedCommitPreview;
    return block;
}

LedColors unpackLedBlock(const std::uint8_t *block)
{
    std::array<std::uint8_t, kLedChannelCount> channels{};
    for (std::size_t i = 0; i < kLedChannelBytes; ++i) {
        channels[2 * i] = kLevelTable[block[i] & 0x0F];
        channels[2 * i + 1] = kLevelTable[block[i] >> 4];
    }
    LedColors colours{};
    for (std::size_t k = 0; k < kLedCount; ++k)
        colours[k] = Rgb{channels[3 * k], channels[3 * k + 1], channels[3 * k + 2]};
    return colours;
}

Report ledChunkReport(const LedBlock &block, std::size_t chunk)
{
    Report report{};
    report[0] = kLedReportId;
    report[1] = static_cast<std::uint8_t>(chunk);
    for (std::size_t i = 0; i < kLedChunkSize; ++i)
        report[2 + i] = block[kLedChunkSize * chunk + i];
    return report;
}

} // namespace vorla
