#include "device/UnsavedChanges.h"

#include "device/store.h"

#include <algorithm>

namespace vorla {

void UnsavedChanges::read(const std::uint8_t *ledBlock, std::uint8_t paddle)
{
    LedBlock block{};
    std::copy(ledBlock, ledBlock + kLedChannelBytes, block.begin());
    ledsStored(block);
    paddleStored(paddle);
    known = true;
}

void UnsavedChanges::ledsStored(const LedBlock &block)
{
    stored.leds.fill(0);
    std::copy(block.begin(), block.begin() + kLedChannelBytes, stored.leds.begin());
    previewedLeds.reset();
}

void UnsavedChanges::paddleStored(std::uint8_t value)
{
    stored.paddle = value;
    previewedPaddle.reset();
}

void UnsavedChanges::ledsPreviewed(const LedBlock &block)
{
    previewedLeds = block;
}

void UnsavedChanges::paddlePreviewed(std::uint8_t value)
{
    previewedPaddle = value;
}

void UnsavedChanges::wheelLeft()
{
    previewedLeds.reset();
    previewedPaddle.reset();
}

bool UnsavedChanges::ledsUnsaved() const
{
    return known && previewedLeds && !sameLedLevels(*previewedLeds, stored.leds);
}

bool UnsavedChanges::paddleUnsaved() const
{
    return known && previewedPaddle && !samePaddleSetting(*previewedPaddle, stored.paddle);
}

LedBlock UnsavedChanges::storedLedPreview() const
{
    LedBlock block = stored.leds;
    block[kLedCommitByte] = kLedCommitPreview;
    return block;
}

} // namespace vorla
