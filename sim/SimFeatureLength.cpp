// The feature report length the program asks the system for, answered by
// the simulated wheel.

#include "device/FeatureLength.h"
#include "sim/SimWheel.h"

namespace vorla {

std::size_t featureReportLength(const char *path)
{
    return sim::featureReportLength(path);
}

} // namespace vorla
