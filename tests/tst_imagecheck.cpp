// What is plainly not a firmware image: a header-sized sample of each format
// the wheel must never get, the near misses that stay images, each refusal's
// own message, and random binaries, all of which are taken.
#include "device/imagecheck.h"
#include "support/WheelTest.h"

#include <QRandomGenerator>
#include <QtTest>

#include <set>

using vorla::ImageContent;

namespace {

// `head`, then image-like bytes up to `size` bytes in all.
QByteArray sample(const QByteArray &head, int size = 48)
{
    return head + wheeltest::imageBytes(std::max(0, size - int(head.size())));
}

QByteArray repeated(const QByteArray &text, int size)
{
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += text;
    return bytes.left(size);
}

// An MS-DOS header whose offset at 0x3C is `peOffset`, "PE\0\0" at 0x40.
QByteArray windowsProgram(char peOffset)
{
    QByteArray bytes = sample("MZ\x90", 0x48);
    bytes.replace(0x3C, 4, QByteArray(1, peOffset) + QByteArray(3, '\0'));
    bytes.replace(0x40, 4, QByteArray("PE\0\0", 4));
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(ImageContent)

class ImageCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void content_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ImageContent>("content");
        const auto row = [](const char *name, const QByteArray &bytes, ImageContent content) {
            QTest::newRow(name) << bytes << content;
        };
        row("ZIP", sample(QByteArray("PK\x03\x04\x14\x00\x00\x00\x08\x00", 10)), ImageContent::ZipArchive);
        row("ZIP, empty", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'), ImageContent::ZipArchive);
        row("7z", sample(QByteArray("7z\xBC\xAF\x27\x1C\x00\x04", 8)), ImageContent::SevenZipArchive);
        row("RAR 4", sample(QByteArray("Rar!\x1A\x07\x00\xCF\x90\x73", 10)), ImageContent::RarArchive);
        row("RAR 5", sample(QByteArray("Rar!\x1A\x07\x01\x00", 8)), ImageContent::RarArchive);
        row("gzip", sample(QByteArray("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\x03", 10)), ImageContent::GzipArchive);
        row("xz", sample(QByteArray("\xFD" "7zXZ\x00\x00\x04", 8)), ImageContent::XzArchive);
        row("bzip2", sample("BZh91AY&SY"), ImageContent::Bzip2Archive);
        row("bzip2, empty", QByteArray("BZh9\x17\x72\x45\x38\x50\x90\x00\x00\x00\x00", 14), ImageContent::Bzip2Archive);
        row("Intel HEX", ":10010000214601360121470136007EFE09D2190140\r\n:00000001FF\r\n", ImageContent::IntelHex);
        row("Intel HEX, end record alone", ":00000001FF", ImageContent::IntelHex);
        row("Motorola S-record", "S00F000068656C6C6F202020202000003C\nS9030000FC\n", ImageContent::MotorolaSRecord);
        row("ELF", sample(QByteArray("\x7F" "ELF\x01\x01\x01\x00", 8), 52), ImageContent::ElfProgram);
        row("Windows program", windowsProgram(0x40), ImageContent::WindowsProgram);
        row("macOS program", sample(QByteArray("\xCF\xFA\xED\xFE\x0C\x00\x00\x01", 8)), ImageContent::MacProgram);
        row("macOS universal program", sample(QByteArray("\xCA\xFE\xBA\xBE\x00\x00\x00\x02", 8)), ImageContent::MacProgram);
        row("PDF", sample("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"), ImageContent::PdfDocument);
        row("PNG", sample(QByteArray("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR", 16)), ImageContent::PngPicture);
        row("JPEG", sample(QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11)), ImageContent::JpegPicture);
        row("UF2", sample(QByteArray("UF2\n\x57\x51\x5D\x9E\x00\x20\x00\x00", 12), 32), ImageContent::Uf2Image);
        row("text, 256 bytes", repeated("Release notes: \xC3\xBC\tfixed.\r\n", 256), ImageContent::Text);
        row("blank, 256 bytes", QByteArray(256, '\0'), ImageContent::Blank);
        row("erased, 256 bytes", QByteArray(256, '\xFF'), ImageContent::Erased);

        // Near misses: taken, as anything not certain is.
        row("1 byte", wheeltest::imageBytes(1), ImageContent::Image);
        row("text, 255 bytes", repeated("Release notes.\n", 255), ImageContent::Image);
        row("blank, 255 bytes", QByteArray(255, '\0'), ImageContent::Image);
        row("erased, 255 bytes", QByteArray(255, '\xFF'), ImageContent::Image);
        row("text with a control character", repeated("notes\n", 255) + '\x01', ImageContent::Image);
        row("text cut inside a character", repeated("notes\n", 255) + '\xC3', ImageContent::Image);
        row("blank but one byte", QByteArray(255, '\0') + '\x01', ImageContent::Image);
        row("Intel HEX, wrong checksum", ":10010000214601360121470136007EFE09D2190141\r\n", ImageContent::Image);
        row("Intel HEX, wrong length", ":0F010000214601360121470136007EFE09D2190140\r\n", ImageContent::Image);
        row("S-record, wrong checksum", "S00F000068656C6C6F202020202000003D\n", ImageContent::Image);
        row("gzip, reserved flag", sample(QByteArray("\x1F\x8B\x08\xE0", 4)), ImageContent::Image);
        row("bzip2, no block", sample("BZh9xxxxxx"), ImageContent::Image);
        row("MZ without a PE header", windowsProgram(0x7F), ImageContent::Image);
        row("Java class", sample(QByteArray("\xCA\xFE\xBA\xBE\x00\x00\x00\x34", 8)), ImageContent::Image);
        row("JPEG, no segment", sample(QByteArray("\xFF\xD8\xFF\x00", 4)), ImageContent::Image);
    }

    void content()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(ImageContent, content);
        QCOMPARE(vorla::imageContent(bytes), content);
    }

    // Each refusal says what the file is, in words of its own, and what to do.
    void messages()
    {
        QCOMPARE(vorla::notAnImageMessage(ImageContent::Image), QString());
        QCOMPARE(vorla::notAnImageMessage(ImageContent::ZipArchive),
                 QStringLiteral("This file is a ZIP archive, not a firmware image. Unpack it and choose the .bin "
                                "file inside."));
        std::set<QString> seen;
        for (int kind = int(ImageContent::ZipArchive); kind <= int(ImageContent::Erased); ++kind) {
            const QString message = vorla::notAnImageMessage(ImageContent(kind));
            QVERIFY2(message.startsWith(QLatin1String("This file ")) && message.contains(QLatin1String(".bin")),
                     qPrintable(message));
            QVERIFY2(seen.insert(message).second, qPrintable(message));
        }
    }

    // Random bytes of at least kMinCheckedLength, as machine code looks to
    // the check: every one is taken.
    void randomBinariesAreImages()
    {
        for (quint32 seed = 1; seed <= 2000; ++seed) {
            QRandomGenerator random(seed);
            QByteArray bytes(vorla::kMinCheckedLength + int(random.bounded(4096)), '\0');
            for (char &b : bytes)
                b = char(random.bounded(256));
            QVERIFY2(vorla::imageContent(bytes) == ImageContent::Image, qPrintable(QString::number(seed)));
        }
    }
};

QTEST_GUILESS_MAIN(ImageCheckTest)
#include "tst_imagecheck.moc"
