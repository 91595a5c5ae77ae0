#include "device/firmware.h"

#include <algorithm>

namespace vorla {

void setFirmwareDataReport(Report &report, std::uint32_t offset, const std::uint8_t *data, std::size_t length)
{
    report[0] = kFeatureReportId;
    report[1] = static_cast<std::uint8_t>(kCmdFirmwareData | (offset >> 12));
    report[2] = static_cast<std::uint8_t>(offset >> 4);
    report[kFirmwareLengthByte] = static_cast<std::uint8_t>(length);
    std::copy(data, data + length, report.begin() + kFirmwareDataOffset);
}

void setFirmwareFinishReport(Report &report)
{
    report[0] = kFeatureReportId;
    report[1] = kCmdFirmwareFinish;
}

} // namespace vorla
