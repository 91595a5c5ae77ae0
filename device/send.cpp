#include "device/send.h"

#include "device/connection.h"
#include "device/paddle.h"

namespace vorla {

bool sendLedBlock(const LedBlock &block)
{
    for (std::size_t chunk = 0; chunk < kLedChunkCount; ++chunk) {
        if (connection::write(ledChunkReport(block, chunk)) < 0)
            return false;
    }
    return true;
}

bool sendPaddle(std::uint8_t value, bool store)
{
    return connection::sendFeatureReport(paddleReport(value, store)) >= 0;
}

} // namespace vorla
