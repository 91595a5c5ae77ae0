#include "device/store.h"

#include "device/paddle.h"
#include "device/query.h"
#include "device/send.h"

#include <algorithm>

namespace vorla {

bool sameLedLevels(const LedBlock &a, const LedBlock &b)
{
    return std::equal(a.begin(), a.begin() + kLedChannelBytes, b.begin());
}

bool samePaddleSetting(std::uint8_t a, std::uint8_t b)
{
    return a == b || (!paddleCombined(a) && !paddleCombined(b));
}

LedStore storeLedsChecked(const LedColors &colours)
{
    const LedBlock sent = packLedBlock(colours, true);
    if (!sendLedBlock(sent))
        return {StoreOutcome::NotSent, {}};
    const std::optional<LedBlock> stored = readStoredLeds();
    if (!stored)
        return {StoreOutcome::NotAnswered, {}};
    return {sameLedLevels(*stored, sent) ? StoreOutcome::Kept : StoreOutcome::NotKept, *stored};
}

PaddleStore storePaddleChecked(std::uint8_t value)
{
    if (!sendPaddle(value, true))
        return {StoreOutcome::NotSent, 0};
    const std::optional<std::uint8_t> stored = readStoredPaddle();
    if (!stored)
        return {StoreOutcome::NotAnswered, 0};
    return {samePaddleSetting(*stored, value) ? StoreOutcome::Kept : StoreOutcome::NotKept, *stored};
}

} // namespace vorla
