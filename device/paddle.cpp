#include "device/paddle.h"

namespace vorla {

Report paddleReport(std::uint8_t value, bool store)
{
    Report report{};
    report[0] = kFeatureReportId;
    report[1] = kCmdPaddle;
    report[kPaddleValueByte] = value;
    report[kPaddleCommitByte] = store ? kPaddleCommitStore : kPaddleCommitPreview;
    return report;
}

} // namespace vorla
