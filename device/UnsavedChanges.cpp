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
    pagePaddle.reset();
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

void UnsavedChanges::paddleOnPage(std::uint8_t value)
{
    pagePaddle = value;
}

void UnsavedChanges::wheelLeft()
{
    previewedLeds.reset();
    previewedPaddle.reset();
    pagePaddle.reset();
    known = false;
}

bool UnsavedChanges::ledsUnsaved() const
{
    return known && previewedLeds && !sameLedLevels(*previewedLeds, stored.leds);
}

bool UnsavedChanges::paddleShownUnsaved() const
{
    return known && previewedPaddle && !samePaddleSetting(*previewedPaddle, stored.paddle);
}

bool UnsavedChanges::paddleUnsaved() const
{
    return paddleShownUnsaved() || (known && pagePaddle && !samePaddleSetting(*pagePaddle, stored.paddle));
}

LedBlock UnsavedChanges::storedLedPreview() const
{
    LedBlock block = stored.leds;
    block[kLedCommitByte] = kLedCommitPreview;
    return block;
}

} // namespace vorla
