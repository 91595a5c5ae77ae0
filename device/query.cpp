#include "device/query.h"

#include "device/connection.h"
#include "device/escaped.h"

#include <algorithm>
#include <cstring>

namespace vorla {

Report queryReport(std::uint8_t selector)
{
    Report request{};
    request[0] = kFeatureReportId;
    request[1] = kCmdQuery;
    request[kQuerySelectorByte] = selector;
    return request;
}

int query(std::uint8_t selector, QueryResponse &response, std::size_t readLength)
{
    const Report request = queryReport(selector);
    response.fill(0);
    response[0] = kFeatureReportId;
    return connection::exchangeFeatureReport(request.data(), request.size(), response.data(),
                                             std::min(readLength, response.size()));
}

QString versionText(const std::uint8_t *response, int bytesRead)
{
    const auto end = static_cast<int>(std::min<std::size_t>(std::max(bytesRead, 0), kReportSize));
    const int start = static_cast<int>(kResponseVersionOffset);
    int length = 0;
    while (start + length < end && response[start + length] != 0)
        ++length;
    if (length == 0)
        return QString();
    return escaped(QString::fromUtf8(reinterpret_cast<const char *>(response) + start, length));
}

bool takeAnswer(std::uint8_t selector, const std::uint8_t *answer, int bytesRead, WheelSettings &settings)
{
    const std::size_t chunk = static_cast<std::size_t>(selector - kSelectorLedChunk0);
    if (chunk < kLedChunkCount) {
        // The slice ends at byte 19: a shorter answer would leave LEDs unread.
        if (bytesRead < static_cast<int>(kReportSize))
            return false;
        std::memcpy(settings.ledBlock.data() + kLedChunkSize * chunk,
                    answer + kResponseLedSliceOffset, kLedChunkSize);
        return true;
    }
    if (selector == kSelectorPaddle) {
        if (bytesRead <= static_cast<int>(kResponsePaddleOffset))
            return false;
        settings.paddle = answer[kResponsePaddleOffset];
        return true;
    }
    if (selector == kSelectorVersion) {
        if (bytesRead < 0)
            return false;
        settings.version = versionText(answer, bytesRead);
        return true;
    }
    return false;
}

std::optional<LedBlock> readStoredLeds()
{
    WheelSettings settings;
    QueryResponse response{};
    for (std::uint8_t chunk = 0; chunk < kLedChunkCount; ++chunk) {
        const auto selector = static_cast<std::uint8_t>(kSelectorLedChunk0 + chunk);
        if (!takeAnswer(selector, response.data(), query(selector, response, kLedQueryReadLength), settings))
            return std::nullopt;
    }
    LedBlock block{};
    std::copy_n(settings.ledBlock.begin(), block.size(), block.begin());
    return block;
}

std::optional<std::uint8_t> readStoredPaddle()
{
    WheelSettings settings;
    QueryResponse response{};
    if (!takeAnswer(kSelectorPaddle, response.data(), query(kSelectorPaddle, response, kQueryReadLength), settings))
        return std::nullopt;
    return settings.paddle;
}

std::optional<WheelSettings> readSettings()
{
    WheelSettings settings;
    QueryResponse response{};
    for (const StartupQuery &step : kStartupQueries) {
        const int bytesRead = query(step.selector, response, step.readLength);
        if (!takeAnswer(step.selector, response.data(), bytesRead, settings))
            return std::nullopt;
    }
    return settings;
}

} // namespace vorla
