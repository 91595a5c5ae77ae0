#pragma once
// Storing a setting and making sure the wheel kept it. A wheel may accept the
// store reports and still not keep them (a full flash, a firmware fault), so
// after a store the wheel is asked what it now stores, and that is compared
// with what was sent. Previews are never read back.

#include "device/leds.h"

#include <cstdint>

namespace vorla {

enum class StoreOutcome {
    Kept,        // the wheel stores what was sent
    NotSent,     // a store report failed; for the LEDs, no chunk after it was sent
    NotAnswered, // sent, but the query after it failed: what the wheel stores is unknown
    NotKept,     // sent and read back: the wheel stores something else
};

// `stored` is what the wheel answered (Kept, NotKept); otherwise it is empty.
struct LedStore {
    StoreOutcome outcome = StoreOutcome::NotSent;
    LedBlock stored{};
};
struct PaddleStore {
    StoreOutcome outcome = StoreOutcome::NotSent;
    std::uint8_t stored = 0;
};

// Whether two blocks hold the same colours: their channel bytes (0-38), the
// wheel's levels, are equal. The commit byte and the bytes between do not count.
bool sameLedLevels(const LedBlock &a, const LedBlock &b);

// Whether two paddle values mean the same setting: equal, or both combined
// mode off (any value above the highest bite point).
bool samePaddleSetting(std::uint8_t a, std::uint8_t b);

// Stores the colours (sendLeds with the store marker), then reads the LED
// block back and compares its levels with those sent.
LedStore storeLedsChecked(const LedColors &colours);

// Stores the paddle value, then reads it back and compares.
PaddleStore storePaddleChecked(std::uint8_t value);

} // namespace vorla
