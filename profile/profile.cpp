#include "profile/profile.h"

#include "device/query.h"
#include "device/escaped.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QSaveFile>

#include <cmath>
#include <initializer_list>

namespace vorla {
namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Profile)
};

// A value as the user wrote it, for "not ..." in a message.
QString describe(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return QLatin1Char('"') + escaped(value.toString(), kShownValueLength) + QLatin1Char('"');
    case QJsonValue::Double: return QString::number(value.toDouble());
    case QJsonValue::Bool: return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Array: return Text::tr("a list");
    case QJsonValue::Object: return Text::tr("an object");
    default: return QString();
    }
}

int hexDigit(QChar c)
{
    const char ch = c.toLatin1();
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// "#RRGGBB", either case.
std::optional<Rgb> parseColor(const QString &text)
{
    if (text.size() != 7 || text.at(0) != QLatin1Char('#'))
        return std::nullopt;
    std::uint8_t channels[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int high = hexDigit(text.at(1 + 2 * i));
        const int low = hexDigit(text.at(2 + 2 * i));
        if (high < 0 || low < 0)
            return std::nullopt;
        channels[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return Rgb{channels[0], channels[1], channels[2]};
}

// JSON does not allow a raw control character inside a string (it is written
// \uXXXX there), but Qt's parser takes one. The offset of the first, or -1.
int rawControlInString(const QByteArray &text)
{
    bool inString = false;
    bool escape = false;
    for (int i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (!inString) {
            inString = c == '"';
        } else if (static_cast<unsigned char>(c) < 0x20) {
            return i;
        } else if (escape) {
            escape = false;
        } else if (c == '\\') {
            escape = true;
        } else if (c == '"') {
            inString = false;
        }
    }
    return -1;
}

// The reason for a syntax error at the character at `offset`.
QString syntaxError(const QByteArray &text, int offset, const QString &what)
{
    const QByteArray before = text.left(qMax(offset, 0));
    const int line = before.count('\n') + 1;
    const int column = int(before.size() - before.lastIndexOf('\n'));
    return Text::tr("not valid JSON at line %1, column %2: %3").arg(line).arg(column).arg(what);
}

// A string in JSON notation, quotes and escapes included.
QByteArray jsonString(const QString &text)
{
    const QByteArray list = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return list.mid(1, list.size() - 2);
}

// Checks a parsed document field by field and fills a profile; stops at the
// first fault, which it records.
class Reader
{
public:
    explicit Reader(ProfileError &error)
        : error(error)
    {
    }

    bool read(const QJsonObject &top, Profile &profile)
    {
        // The version first: a newer file may differ in every other field.
        double format = 0;
        if (!wholeNumber(top.value(QLatin1String("format")), QStringLiteral("format"), format))
            return false;
        if (format != kProfileFormat)
            return fail(QStringLiteral("format"), Text::tr("unknown format version %1; this program reads format %2")
                                                      .arg(format).arg(kProfileFormat));
        return onlyKnown(top, QString(), {"format", "firmware", "paddle", "leds"})
            && readLeds(top.value(QLatin1String("leds")), profile)
            && readPaddle(top.value(QLatin1String("paddle")), profile)
            && readFirmware(top.value(QLatin1String("firmware")), profile);
    }

private:
    bool fail(const QString &field, const QString &reason)
    {
        error = ProfileError{field, reason};
        return false;
    }

    static QString member(const QString &prefix, const QString &key)
    {
        return prefix.isEmpty() ? key : prefix + QLatin1Char('.') + key;
    }

    // An unknown field's name is the file's text, shown like a value; one
    // without a name is shown as "" (else the message would name no field).
    static QString unknownMember(const QString &prefix, const QString &key)
    {
        return member(prefix, key.isEmpty() ? QStringLiteral("\"\"") : escaped(key, kShownValueLength));
    }

    // Unknown fields are refused: most are a known one misspelt.
    bool onlyKnown(const QJsonObject &object, const QString &prefix, std::initializer_list<const char *> known)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            bool found = false;
            for (const char *name : known)
                found = found || it.key() == QLatin1String(name);
            if (!found)
                return fail(unknownMember(prefix, it.key()), Text::tr("unknown field"));
        }
        return true;
    }

    bool typed(const QJsonValue &value, const QString &field, QJsonValue::Type type, const QString &what)
    {
        if (value.isUndefined())
            return fail(field, Text::tr("missing"));
        if (value.type() != type)
            return fail(field, Text::tr("must be %1, not %2").arg(what, describe(value)));
        return true;
    }

    bool wholeNumber(const QJsonValue &value, const QString &field, double &number)
    {
        if (!typed(value, field, QJsonValue::Double, Text::tr("a whole number")))
            return false;
        number = value.toDouble();
        if (!std::isfinite(number) || number != std::floor(number))
            return fail(field, Text::tr("must be a whole number, not %1").arg(describe(value)));
        return true;
    }

    bool numberIn(const QJsonValue &value, const QString &field, int low, int high, int &result)
    {
        double number = 0;
        if (!wholeNumber(value, field, number))
            return false;
        if (number < low || number > high)
            return fail(field, Text::tr("must be between %1 and %2, not %3").arg(low).arg(high).arg(describe(value)));
        result = static_cast<int>(number);
        return true;
    }

    bool readLeds(const QJsonValue &value, Profile &profile)
    {
        const QString field = QStringLiteral("leds");
        if (!typed(value, field, QJsonValue::Array, Text::tr("a list")))
            return false;
        const QJsonArray entries = value.toArray();
        if (entries.size() != int(kLedCount))
            return fail(field, Text::tr("has %1 entries; a profile has one for each of the %2 LED slots")
                                   .arg(entries.size()).arg(kLedCount));
        std::array<bool, kLedCount> seen{};
        for (int i = 0; i < entries.size(); ++i) {
            const QString entry = QStringLiteral("leds[%1]").arg(i);
            if (!typed(entries.at(i), entry, QJsonValue::Object, Text::tr("an object")))
                return false;
            const QJsonObject led = entries.at(i).toObject();
            if (!onlyKnown(led, entry, {"slot", "button", "color"}))
                return false;

            int slot = 0;
            if (!numberIn(led.value(QLatin1String("slot")), member(entry, QStringLiteral("slot")), 0, int(kLedCount) - 1, slot))
                return false;
            if (seen[slot])
                return fail(member(entry, QStringLiteral("slot")), Text::tr("slot %1 appears twice").arg(slot));
            seen[slot] = true;

            // The button is there for the reader; a wrong one means the entry
            // is not what its editor thought it was.
            const QJsonValue button = led.value(QLatin1String("button"));
            const QString buttonField = member(entry, QStringLiteral("button"));
            if (!button.isUndefined()) {
                if (!typed(button, buttonField, QJsonValue::String, Text::tr("a string")))
                    return false;
                if (button.toString() != QLatin1String(kLedSlotButtons[slot]))
                    return fail(buttonField, Text::tr("slot %1 is shown by button %2, not %3")
                                                 .arg(slot).arg(QLatin1String(kLedSlotButtons[slot]), describe(button)));
            }

            const QJsonValue colour = led.value(QLatin1String("color"));
            const QString colourField = member(entry, QStringLiteral("color"));
            if (!typed(colour, colourField, QJsonValue::String, Text::tr("a string")))
                return false;
            const std::optional<Rgb> rgb = parseColor(colour.toString());
            if (!rgb)
                return fail(colourField, Text::tr("must be a colour written #RRGGBB, not %1").arg(describe(colour)));
            profile.leds[slot] = *rgb;
        }
        return true;
    }

    bool readPaddle(const QJsonValue &value, Profile &profile)
    {
        const QString field = QStringLiteral("paddle");
        if (!typed(value, field, QJsonValue::Object, Text::tr("an object")))
            return false;
        const QJsonObject paddle = value.toObject();
        if (!onlyKnown(paddle, field, {"combined", "bitePoint"}))
            return false;
        const QJsonValue combined = paddle.value(QLatin1String("combined"));
        if (!typed(combined, member(field, QStringLiteral("combined")), QJsonValue::Bool, Text::tr("true or false")))
            return false;
        // With combined mode off the wheel keeps no bite point, so it may be left out.
        const QJsonValue bitePoint = paddle.value(QLatin1String("bitePoint"));
        int bite = 0;
        if ((combined.toBool() || !bitePoint.isUndefined())
            && !numberIn(bitePoint, member(field, QStringLiteral("bitePoint")), 0, kPaddleMaxBitePoint, bite))
            return false;
        profile.paddle = combined.toBool() ? static_cast<std::uint8_t>(bite) : kPaddleOff;
        return true;
    }

    bool readFirmware(const QJsonValue &value, Profile &profile)
    {
        if (value.isUndefined())
            return true;
        if (!typed(value, QStringLiteral("firmware"), QJsonValue::String, Text::tr("a string")))
            return false;
        profile.firmware = value.toString();
        return true;
    }

    ProfileError &error;
};

} // namespace

QString colorText(const Rgb &colour)
{
    return QString::asprintf("#%02X%02X%02X", colour.red, colour.green, colour.blue);
}

QString ProfileError::message(const QString &path) const
{
    // The file's name may come from elsewhere too; field and reason are escaped already.
    const QString file = escaped(path);
    return field.isEmpty() ? file + QStringLiteral(": ") + reason
                           : file + QStringLiteral(": ") + field + QStringLiteral(": ") + reason;
}

Profile profileFromSettings(const WheelSettings &settings)
{
    Profile profile;
    profile.leds = unpackLedBlock(settings.ledBlock.data());
    profile.paddle = settings.paddle;
    profile.firmware = settings.version;
    return profile;
}

QByteArray profileToJson(const Profile &profile)
{
    QByteArray text = "{\n    \"format\": " + QByteArray::number(kProfileFormat) + ",\n";
    if (!profile.firmware.isEmpty())
        text += "    \"firmware\": " + jsonString(profile.firmware) + ",\n";
    if (paddleCombined(profile.paddle))
        text += "    \"paddle\": {\"combined\": true, \"bitePoint\": " + QByteArray::number(profile.paddle) + "},\n";
    else
        text += "    \"paddle\": {\"combined\": false},\n";
    text += "    \"leds\": [\n";
    for (std::size_t slot = 0; slot < kLedCount; ++slot) {
        text += "        {\"slot\": " + QByteArray::number(int(slot)) + ", \"button\": \"" + kLedSlotButtons[slot]
            + "\", \"color\": \"" + colorText(profile.leds[slot]).toLatin1() + "\"}";
        text += slot + 1 < kLedCount ? ",\n" : "\n";
    }
    text += "    ]\n}\n";
    return text;
}

std::optional<Profile> parseProfile(const QByteArray &text, ProfileError *error)
{
    ProfileError fault;
    QJsonParseError parseError;
    const int control = rawControlInString(text);
    const QJsonDocument document = control < 0 ? QJsonDocument::fromJson(text, &parseError) : QJsonDocument();
    if (control >= 0) {
        const QString character = escaped(QString(QLatin1Char(text.at(control))));
        fault.reason = syntaxError(text, control, Text::tr("a raw control character %1 inside a string").arg(character));
    } else if (parseError.error != QJsonParseError::NoError) {
        // Qt's offset is mostly just past the character at fault.
        fault.reason = syntaxError(text, int(parseError.offset) - 1, parseError.errorString());
    } else if (!document.isObject()) {
        fault.reason = Text::tr("not a profile: the file must hold one JSON object");
    } else {
        Profile profile;
        if (Reader(fault).read(document.object(), profile))
            return profile;
    }
    if (error)
        *error = fault;
    return std::nullopt;
}

std::optional<Profile> readProfile(const QString &path, QString *message)
{
    QFile file(path);
    QByteArray text;
    ProfileError fault;
    if (!file.open(QIODevice::ReadOnly)) {
        fault.reason = Text::tr("can not be read: %1").arg(file.errorString());
    } else {
        // One byte more than allowed tells a file that is too big.
        text = file.read(kMaxProfileSize + 1);
        if (file.error() != QFileDevice::NoError)
            fault.reason = Text::tr("can not be read: %1").arg(file.errorString());
        else if (text.size() > kMaxProfileSize)
            fault.reason = Text::tr("larger than %1 KiB: not a profile").arg(kMaxProfileSize / 1024);
    }
    if (fault.reason.isEmpty()) {
        if (std::optional<Profile> profile = parseProfile(text, &fault))
            return profile;
    }
    if (message)
        *message = fault.message(path);
    return std::nullopt;
}

bool writeProfile(const QString &path, const Profile &profile, QString *message)
{
    QSaveFile file(path);
    const QByteArray text = profileToJson(profile);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    if (message)
        *message = ProfileError{QString(), Text::tr("can not be written: %1").arg(file.errorString())}.message(path);
    return false;
}

} // namespace vorla
