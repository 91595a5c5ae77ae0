#include "device/imagecheck.h"

#include <QCoreApplication>
#include <QVector>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QStringDecoder>
#else
#include <QTextCodec>
#endif

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace vorla {
namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(ImageCheck)
};

bool startsWith(const QByteArray &bytes, const char *magic, int length, int at = 0)
{
    return bytes.size() >= at + length && std::memcmp(bytes.constData() + at, magic, std::size_t(length)) == 0;
}

std::uint8_t byteAt(const QByteArray &bytes, int i)
{
    return static_cast<std::uint8_t>(bytes.at(i));
}

// Signatures that a whole file starts with, bytes the format fixes.
struct Signature {
    ImageContent content;
    const char *magic;
    int length;
};
const Signature kSignatures[] = {
    {ImageContent::ZipArchive, "PK\x03\x04", 4},     // a local file header
    {ImageContent::ZipArchive, "PK\x05\x06", 4},     // an empty archive's directory end
    {ImageContent::SevenZipArchive, "7z\xBC\xAF\x27\x1C", 6},
    {ImageContent::RarArchive, "Rar!\x1A\x07\x00", 7},     // RAR 1.5 to 4
    {ImageContent::RarArchive, "Rar!\x1A\x07\x01\x00", 8}, // RAR 5
    {ImageContent::XzArchive, "\xFD" "7zXZ\x00", 6},
    {ImageContent::PdfDocument, "%PDF-", 5},
    {ImageContent::PngPicture, "\x89PNG\r\n\x1A\n", 8},
    {ImageContent::Uf2Image, "UF2\n\x57\x51\x5D\x9E", 8}, // both magic numbers of a block
    {ImageContent::MacProgram, "\xFE\xED\xFA\xCE", 4},
    {ImageContent::MacProgram, "\xFE\xED\xFA\xCF", 4},
    {ImageContent::MacProgram, "\xCE\xFA\xED\xFE", 4},
    {ImageContent::MacProgram, "\xCF\xFA\xED\xFE", 4},
};

// gzip: the magic, the deflate method, no reserved flag set, room for the
// header and the trailer.
bool isGzip(const QByteArray &bytes)
{
    return bytes.size() >= 18 && startsWith(bytes, "\x1F\x8B\x08", 3) && (byteAt(bytes, 3) & 0xE0) == 0;
}

// bzip2: "BZh", the block size digit, then a block's or the stream end's magic.
bool isBzip2(const QByteArray &bytes)
{
    return startsWith(bytes, "BZh", 3) && bytes.size() >= 10 && bytes.at(3) >= '1' && bytes.at(3) <= '9'
           && (startsWith(bytes, "\x31\x41\x59\x26\x53\x59", 6, 4) || startsWith(bytes, "\x17\x72\x45\x38\x50\x90", 6, 4));
}

// ELF: the magic, a known class, byte order and version.
bool isElf(const QByteArray &bytes)
{
    return startsWith(bytes, "\x7F" "ELF", 4) && bytes.size() >= 7 && (byteAt(bytes, 4) == 1 || byteAt(bytes, 4) == 2)
           && (byteAt(bytes, 5) == 1 || byteAt(bytes, 5) == 2) && byteAt(bytes, 6) == 1;
}

// PE: the MS-DOS header's "MZ", whose offset at 0x3C leads to "PE\0\0".
bool isWindowsProgram(const QByteArray &bytes)
{
    if (!startsWith(bytes, "MZ", 2) || bytes.size() < 0x40)
        return false;
    const std::uint32_t header = std::uint32_t(byteAt(bytes, 0x3C)) | std::uint32_t(byteAt(bytes, 0x3D)) << 8
                                 | std::uint32_t(byteAt(bytes, 0x3E)) << 16 | std::uint32_t(byteAt(bytes, 0x3F)) << 24;
    return header <= std::uint32_t(bytes.size() - 4) && startsWith(bytes, "PE\0\0", 4, int(header));
}

// A universal Mach-O program: the magic, then a handful of architectures
// (Java's class files share the magic, with a version of 45 and up there).
bool isMacUniversal(const QByteArray &bytes)
{
    return startsWith(bytes, "\xCA\xFE\xBA\xBE", 4) && bytes.size() >= 8 && bytes.at(4) == 0 && bytes.at(5) == 0
           && bytes.at(6) == 0 && byteAt(bytes, 7) >= 1 && byteAt(bytes, 7) <= 32;
}

// JPEG: start of image, then the marker of a segment that opens a picture.
bool isJpeg(const QByteArray &bytes)
{
    if (!startsWith(bytes, "\xFF\xD8\xFF", 3) || bytes.size() < 4)
        return false;
    const std::uint8_t marker = byteAt(bytes, 3);
    return (marker >= 0xE0 && marker <= 0xEF) || marker == 0xDB || marker == 0xFE || marker == 0xC0 || marker == 0xC2
           || marker == 0xC4;
}

// The bytes of the hex digits from `from` to the end of the file's first line,
// or nothing when that line holds anything but an even number of hex digits.
bool firstLineHexBytes(const QByteArray &bytes, int from, QVector<std::uint8_t> &values)
{
    int end = from;
    while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
        ++end;
    const QByteArray digits = bytes.mid(from, end - from);
    if (digits.isEmpty() || digits.size() % 2 != 0)
        return false;
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    const QByteArray decoded = QByteArray::fromHex(digits);
    values.resize(decoded.size());
    std::copy(decoded.begin(), decoded.end(), values.begin());
    return true;
}

int byteSum(const QVector<std::uint8_t> &values)
{
    int sum = 0;
    for (std::uint8_t value : values)
        sum += value;
    return sum & 0xFF;
}

// Intel HEX: the first line is one whole record, ":" then the data length,
// the address, a known record type, the data and a checksum that makes the
// record's bytes add up to zero.
bool isIntelHex(const QByteArray &bytes)
{
    QVector<std::uint8_t> record;
    if (!startsWith(bytes, ":", 1) || !firstLineHexBytes(bytes, 1, record) || record.size() < 5)
        return false;
    return record.size() == record.at(0) + 5 && record.at(3) <= 5 && byteSum(record) == 0;
}

// Motorola S-record: the first line is one whole record, "S" and its type,
// then the count of the bytes that follow, an address of the type's length,
// the data and a checksum that makes them add up to 0xFF.
bool isSRecord(const QByteArray &bytes)
{
    static const int kAddressLength[10] = {2, 2, 3, 4, -1, 2, 3, 4, 3, 2};
    QVector<std::uint8_t> record;
    if (bytes.size() < 2 || bytes.at(0) != 'S' || bytes.at(1) < '0' || bytes.at(1) > '9'
        || kAddressLength[bytes.at(1) - '0'] < 0 || !firstLineHexBytes(bytes, 2, record) || record.size() < 2)
        return false;
    return record.size() == record.at(0) + 1 && record.at(0) >= kAddressLength[bytes.at(1) - '0'] + 1
           && byteSum(record) == 0xFF;
}

// Valid UTF-8 of printable characters, tabs, line and page breaks only (a
// byte order mark may lead).
bool isText(const QByteArray &bytes)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        return false;
#else
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForMib(106)->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars != 0 || state.remainingChars != 0)
        return false;
#endif
    const QVector<uint> characters = text.toUcs4();
    for (int i = 0; i < characters.size(); ++i) {
        const uint c = characters.at(i);
        const bool allowed = QChar::isPrint(c) || c == '\t' || c == '\n' || c == '\r' || c == '\f'
                             || (i == 0 && c == 0xFEFF);
        if (!allowed)
            return false;
    }
    return true;
}

// Formats told by more than a fixed signature, in the order they are tried.
struct Structure {
    ImageContent content;
    bool (*is)(const QByteArray &bytes);
};
const Structure kStructures[] = {
    {ImageContent::GzipArchive, isGzip},
    {ImageContent::Bzip2Archive, isBzip2},
    {ImageContent::ElfProgram, isElf},
    {ImageContent::WindowsProgram, isWindowsProgram},
    {ImageContent::MacProgram, isMacUniversal},
    {ImageContent::JpegPicture, isJpeg},
    {ImageContent::IntelHex, isIntelHex},
    {ImageContent::MotorolaSRecord, isSRecord},
};

bool allBytes(const QByteArray &bytes, char value)
{
    return std::all_of(bytes.begin(), bytes.end(), [value](char b) { return b == value; });
}

} // namespace

ImageContent imageContent(const QByteArray &bytes)
{
    for (const Signature &signature : kSignatures)
        if (startsWith(bytes, signature.magic, signature.length))
            return signature.content;
    for (const Structure &structure : kStructures)
        if (structure.is(bytes))
            return structure.content;
    if (bytes.size() < kMinCheckedLength)
        return ImageContent::Image;
    if (allBytes(bytes, '\0'))
        return ImageContent::Blank;
    if (allBytes(bytes, '\xFF'))
        return ImageContent::Erased;
    if (isText(bytes))
        return ImageContent::Text;
    return ImageContent::Image;
}

QString notAnImageMessage(ImageContent content)
{
    QString what;
    switch (content) {
    case ImageContent::Image:
        return QString();
    case ImageContent::ZipArchive:
        what = Text::tr("This file is a ZIP archive, not a firmware image.");
        break;
    case ImageContent::SevenZipArchive:
        what = Text::tr("This file is a 7z archive, not a firmware image.");
        break;
    case ImageContent::RarArchive:
        what = Text::tr("This file is a RAR archive, not a firmware image.");
        break;
    case ImageContent::GzipArchive:
        what = Text::tr("This file is compressed with gzip, not a firmware image.");
        break;
    case ImageContent::XzArchive:
        what = Text::tr("This file is compressed with xz, not a firmware image.");
        break;
    case ImageContent::Bzip2Archive:
        what = Text::tr("This file is compressed with bzip2, not a firmware image.");
        break;
    case ImageContent::IntelHex:
        what = Text::tr("This file is Intel HEX text, not the binary firmware image.");
        break;
    case ImageContent::MotorolaSRecord:
        what = Text::tr("This file is Motorola S-record text, not the binary firmware image.");
        break;
    case ImageContent::ElfProgram:
        what = Text::tr("This file is an ELF program, not the binary firmware image.");
        break;
    case ImageContent::WindowsProgram:
        what = Text::tr("This file is a Windows program, not a firmware image.");
        break;
    case ImageContent::MacProgram:
        what = Text::tr("This file is a macOS program, not a firmware image.");
        break;
    case ImageContent::PdfDocument:
        what = Text::tr("This file is a PDF document, not a firmware image.");
        break;
    case ImageContent::PngPicture:
        what = Text::tr("This file is a PNG picture, not a firmware image.");
        break;
    case ImageContent::JpegPicture:
        what = Text::tr("This file is a JPEG picture, not a firmware image.");
        break;
    case ImageContent::Uf2Image:
        what = Text::tr("This file is a UF2 file for a USB drive bootloader, not the binary firmware image.");
        break;
    case ImageContent::Text:
        what = Text::tr("This file is text, not a firmware image.");
        break;
    case ImageContent::Blank:
        what = Text::tr("This file holds nothing but zero bytes: it is blank, not a firmware image.");
        break;
    case ImageContent::Erased:
        what = Text::tr("This file holds nothing but 0xFF bytes, as erased flash does: it is not a firmware image.");
        break;
    }
    const bool archive = content == ImageContent::ZipArchive || content == ImageContent::SevenZipArchive
                         || content == ImageContent::RarArchive || content == ImageContent::GzipArchive
                         || content == ImageContent::XzArchive || content == ImageContent::Bzip2Archive;
    return what + QLatin1Char(' ')
           + (archive ? Text::tr("Unpack it and choose the .bin file inside.")
                      : Text::tr("Choose the wheel's .bin firmware image instead."));
}

} // namespace vorla
