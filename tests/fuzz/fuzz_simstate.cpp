// Any bytes as the simulated wheel's state file: refused, or a state that,
// written out and read again, is the same.

#include "FuzzCheck.h"
#include "sim/StateFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > sim::kMaxStateFileSize) // readStateFile refuses it
        return 0;
    const std::optional<sim::StoredState> state = sim::decodeState(std::string(reinterpret_cast<const char *>(data), size));
    if (!state)
        return 0;
    const std::optional<sim::StoredState> again = sim::decodeState(sim::encodeState(*state));
    FUZZ_CHECK(again);
    FUZZ_CHECK(again->leds == state->leds);
    FUZZ_CHECK(again->paddle == state->paddle);
    FUZZ_CHECK(again->version == state->version);
    return 0;
}
