#pragma once
// Reading the wheel's stored settings back. A query names a selector; the
// wheel answers with a feature report: the LED block in three 18-byte slices
// (selectors 0-2), the paddle value (selector 10) or the firmware version text
// (selector 9).

#include "device/leds.h"
#include "device/protocol.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace vorla {

using QueryResponse = std::array<std::uint8_t, kQueryBufferSize>;

// The query report for `selector`: 02 0B selector, zeros behind.
Report queryReport(std::uint8_t selector);

// Asks the wheel for `selector` and reads `readLength` bytes (report id
// included, at most kQueryBufferSize) of its answer into `response`; bytes not
// read are zero. Returns the bytes read, or -1 when the send or read failed.
int query(std::uint8_t selector, QueryResponse &response, std::size_t readLength);

// The version text of a version response of which `bytesRead` bytes arrived:
// the bytes from 1 up to the first zero, never past byte 19 or what was read,
// with what is not printable escaped (device/escaped.h), since it is shown as
// the wheel says it.
QString versionText(const std::uint8_t *response, int bytesRead);

// The LED block the wheel stores, from its three chunk queries (bytes 0-53;
// only 0-38 carry colours). Empty when a query failed or came back short.
std::optional<LedBlock> readStoredLeds();

// The paddle value the wheel stores. Empty when the query failed or came back
// too short to hold it.
std::optional<std::uint8_t> readStoredPaddle();

struct WheelSettings {
    std::array<std::uint8_t, kLedReadBufferSize> ledBlock{}; // bytes 0-53 read, the rest zero
    std::uint8_t paddle = 0;
    QString version;
};

// The queries of the start-up read, in the wheel's order, with how many bytes
// each asks hidapi for.
struct StartupQuery {
    std::uint8_t selector;
    std::size_t readLength;
};
constexpr StartupQuery kStartupQueries[] = {
    {kSelectorLedChunk0, kLedQueryReadLength},
    {kSelectorLedChunk0 + 1, kLedQueryReadLength},
    {kSelectorLedChunk0 + 2, kLedQueryReadLength},
    {kSelectorPaddle, kQueryReadLength},
    {kSelectorVersion, kQueryReadLength},
};

// Takes the wheel's answer to the start-up query `selector` into `settings`:
// `answer` holds the `bytesRead` bytes that arrived (report id first; -1: the
// read failed), and nothing past them is looked at. False, with nothing
// taken, when the answer is too short to hold what was asked or the selector
// is none of the start-up read's.
bool takeAnswer(std::uint8_t selector, const std::uint8_t *answer, int bytesRead, WheelSettings &settings);

// Reads everything the wheel stores, in the wheel's order: the three LED
// chunks, the paddle value, the version. Empty when any query failed or came
// back too short to hold its answer, so that nothing half-read is ever shown
// (and later stored over the user's settings).
std::optional<WheelSettings> readSettings();

} // namespace vorla
