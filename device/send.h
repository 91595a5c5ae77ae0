#pragma once
// Sending settings to the wheel, for a preview or a store. The window and the
// command line both send through these, so a setting travels the same way
// whoever sends it.

#include "device/leds.h"

#include <cstdint>

namespace vorla {

// Sends a block as its three LED chunk reports, in order. Stops at the first
// report that fails: the chunks after it would join the wheel's older copy of
// the lost one, and a mixed block must be neither previewed nor stored.
// True when all three went through.
bool sendLedBlock(const LedBlock &block);

// Encodes the colours (packLedBlock) and sends them with sendLedBlock.
inline bool sendLeds(const LedColors &colours, bool store) { return sendLedBlock(packLedBlock(colours, store)); }

// Sends the paddle setting report for `value` (see device/paddle.h). True
// when it went through.
bool sendPaddle(std::uint8_t value, bool store);

} // namespace vorla
