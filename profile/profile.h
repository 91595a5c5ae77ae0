#pragma once
// Profiles: the wheel's settings kept in a small JSON file, to come back to,
// to share, or to apply from a script. A profile holds the colour of every LED
// slot (as "#RRGGBB", with the name of the LED page's button that shows it)
// and the paddle setting:
//
//   {
//       "format": 1,
//       "firmware": "1.0.3",
//       "paddle": {"combined": true, "bitePoint": 60},
//       "leds": [
//           {"slot": 0, "button": "B1", "color": "#1E90FF"},
//           ... one entry for each slot 0-25, in any order
//       ]
//   }
//
// "firmware" (the version a profile was exported from) and "button" are only
// there for the reader; "bitePoint" may be left out when "combined" is false.
// Reading is strict: anything else is refused with the field and the reason,
// and nothing of a refused file is used.

#include "device/leds.h"
#include "device/paddle.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace vorla {

struct WheelSettings;

constexpr int kProfileFormat = 1;
// A profile is about 2 KiB; anything much bigger is no profile.
constexpr qint64 kMaxProfileSize = 16 * 1024;

struct Profile {
    LedColors leds{};                // by slot, 8 bits per channel
    std::uint8_t paddle = kPaddleOff; // the wheel's paddle value (device/paddle.h)
    QString firmware;                // informational; may be empty
};

// Why a profile was refused: the field ("leds[3].color", "paddle.bitePoint";
// empty when the fault is not in one field) and the reason.
struct ProfileError {
    QString field;
    QString reason;
    // "FILE: FIELD: REASON", the field left out when there is none.
    QString message(const QString &path) const;
};

// A colour as a profile writes it: "#RRGGBB", upper case.
QString colorText(const Rgb &colour);

// What a wheel stores, as a profile. The colours are the level table's screen
// values, which levelForChannel maps back to the same levels: applying the
// profile gives the wheel back exactly the block it was read from.
Profile profileFromSettings(const WheelSettings &settings);

// The profile as JSON text: the layout above, one LED per line.
QByteArray profileToJson(const Profile &profile);

// Parses profile text. Empty, with `error` set, when anything in it is wrong.
std::optional<Profile> parseProfile(const QByteArray &text, ProfileError *error);

// Reads and parses a profile file; a file over kMaxProfileSize is refused
// unread. Empty, with `message` set ("FILE: FIELD: REASON"), on any fault.
std::optional<Profile> readProfile(const QString &path, QString *message);

// Writes a profile file. The old file, if any, is replaced only once the new
// one is complete. False, with `message` set, when it could not be written.
bool writeProfile(const QString &path, const Profile &profile, QString *message);

} // namespace vorla
