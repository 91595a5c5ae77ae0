// Any answers to the start-up read's queries, taken as the start-up read
// takes them. For each query in turn the input gives how many bytes arrived
// (-1, a failed read, up to what the query asks for) and then those bytes; each
// answer sits in a buffer of exactly its length, so that a look past its end
// is seen. What is accepted is within range: every colour at one of the
// wheel's levels, a printable version text of bounded length, and all of it
// exported as a profile that reads back the same.

#include "FuzzCheck.h"
#include "device/query.h"
#include "profile/profile.h"
#include "device/escaped.h"

#include <algorithm>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    vorla::WheelSettings settings;
    std::size_t at = 0;
    for (const vorla::StartupQuery &query : vorla::kStartupQueries) {
        const int bytesRead = at < size ? int(data[at++] % (query.readLength + 2)) - 1 : -1;
        const std::size_t length = std::size_t(std::max(bytesRead, 0));
        const std::unique_ptr<std::uint8_t[]> answer(new std::uint8_t[length]());
        const std::size_t given = std::min(length, size - at);
        std::memcpy(answer.get(), data + at, given);
        at += given;
        if (!vorla::takeAnswer(query.selector, answer.get(), bytesRead, settings))
            return 0;
    }

    const vorla::Profile profile = vorla::profileFromSettings(settings);
    const auto atLevel = [](std::uint8_t channel) {
        return std::find(vorla::kLevelTable.begin(), vorla::kLevelTable.end(), channel) != vorla::kLevelTable.end();
    };
    for (const vorla::Rgb &colour : profile.leds)
        FUZZ_CHECK(atLevel(colour.red) && atLevel(colour.green) && atLevel(colour.blue));
    FUZZ_CHECK(vorla::escaped(settings.version) == settings.version);
    // 19 bytes of text, none longer than "\uXXXX" when escaped.
    FUZZ_CHECK(settings.version.size() <= 6 * int(vorla::kReportSize - vorla::kResponseVersionOffset));

    vorla::ProfileError error;
    const std::optional<vorla::Profile> exported = vorla::parseProfile(vorla::profileToJson(profile), &error);
    FUZZ_CHECK(exported);
    FUZZ_CHECK(exported->leds == profile.leds);
    FUZZ_CHECK(exported->paddle == (vorla::paddleCombined(settings.paddle) ? settings.paddle : vorla::kPaddleOff));
    FUZZ_CHECK(exported->firmware == settings.version);
    return 0;
}
