// Any text as VORLA_SIM_EVENTS: the simulated wheel's event script is taken or
// refused with a reason; whatever it scheduled is dropped for the next input.

#include "FuzzCheck.h"
#include "sim/SimWheel.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string script(reinterpret_cast<const char *>(data), size);
    const std::string problem = sim::runEventScript(script);
    // A refusal quotes the script: no more of it than there is.
    FUZZ_CHECK(problem.size() <= 2 * script.size() + 100);
    sim::reset();
    return 0;
}
