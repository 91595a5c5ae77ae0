#pragma once
// How long the wheel's feature reports are, as its HID driver sees them.
// Windows hands a feature report only to a buffer at least that long (and
// hidapi passes the caller's length on unpadded), so reads there must ask for
// it. Linux's hidraw takes any length: there the answer is 0, "no minimum".

#include <cstddef>

namespace vorla {

// The feature report length of the HID interface at `path` (a hidapi path),
// report id included; 0 where there is no minimum or it cannot be told.
std::size_t featureReportLength(const char *path);

} // namespace vorla
