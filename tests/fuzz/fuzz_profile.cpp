// Any bytes as a profile file. A refusal names a reason, and a field for
// anything but a syntax error or a file that holds no object, and the message
// it makes is printable and short; an accepted profile, written out and read
// again, is the same profile.

#include "FuzzCheck.h"
#include "profile/profile.h"
#include "device/escaped.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > std::size_t(vorla::kMaxProfileSize)) // readProfile refuses it unread
        return 0;
    const QByteArray text(reinterpret_cast<const char *>(data), int(size));
    vorla::ProfileError error;
    const std::optional<vorla::Profile> profile = vorla::parseProfile(text, &error);
    if (!profile) {
        FUZZ_CHECK(!error.reason.isEmpty());
        const bool wholeFile = error.reason.startsWith(QLatin1String("not valid JSON"))
            || error.reason.startsWith(QLatin1String("not a profile"));
        FUZZ_CHECK(wholeFile || !error.field.isEmpty());
        const QString message = error.message(QStringLiteral("p.json"));
        FUZZ_CHECK(vorla::escaped(message) == message);
        FUZZ_CHECK(message.size() <= 300);
        return 0;
    }
    const std::optional<vorla::Profile> again = vorla::parseProfile(vorla::profileToJson(*profile), &error);
    FUZZ_CHECK(again);
    FUZZ_CHECK(again->leds == profile->leds);
    FUZZ_CHECK(again->paddle == profile->paddle);
    FUZZ_CHECK(again->firmware == profile->firmware);
    return 0;
}
