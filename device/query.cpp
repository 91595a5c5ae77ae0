#include "device/query.h"

#include "device/connection.h"

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
    const char *text = reinterpret_cast<const char *>(response) + kResponseVersionOffset;
    int length = 0;
    while (static_cast<int>(kResponseVersionOffset) + length < end && text[length] != '\0')
        ++length;
    return QString::fromUtf8(text, length);
}

std::optional<LedBlock> readStoredLeds()
{
    LedBlock block{};
    QueryResponse response{};
    for (std::uint8_t chunk = 0; chunk < kLedChunkCount; ++chunk) {
        // The slice ends at byte 19: a shorter answer would leave LEDs unread.
        if (query(kSelectorLedChunk0 + chunk, response, kLedQueryReadLength) < static_cast<int>(kReportSize))
            return std::nullopt;
        std::memcpy(block.data() + kLedChunkSize * chunk, response.data() + kResponseLedSliceOffset, kLedChunkSize);
    }
    return block;
}

std::optional<std::uint8_t> readStoredPaddle()
{
    QueryResponse response{};
    if (query(kSelectorPaddle, response, kQueryReadLength) <= static_cast<int>(kResponsePaddleOffset))
        return std::nullopt;
    return response[kResponsePaddleOffset];
}

std::optional<WheelSettings> readSettings()
{
    WheelSettings settings;
    const std::optional<LedBlock> leds = readStoredLeds();
    if (!leds)
        return std::nullopt;
    std::copy(leds->begin(), leds->end(), settings.ledBlock.begin());

    const std::optional<std::uint8_t> paddle = readStoredPaddle();
    if (!paddle)
        return std::nullopt;
    settings.paddle = *paddle;

    QueryResponse response{};
    const int versionRead = query(kSelectorVersion, response, kQueryReadLength);
    if (versionRead < 0)
        return std::nullopt;
    settings.version = versionText(response.data(), versionRead);
    return settings;
}

} // namespace vorla
