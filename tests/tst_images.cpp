// The embedded pictures: present under ":/img/", stored uncompressed, of the
// sizes the form's rectangles are made for, opaque and bordered with the
// window's near-black, and drawn so that the LED page's buttons sit on the
// wheel's controls and the header shows its blue bar.

#include <QImage>
#include <QResource>
#include <QtTest>

#include <cstdlib>

namespace {

const QRgb kBackground = qRgb(26, 25, 25);
const QRgb kEmblemBackground = qRgb(27, 28, 28);

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QString rgb(QRgb c)
{
    return QString("rgb(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

void appendBigEndian(QByteArray &out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xff));
}

quint32 readBigEndian(const QByteArray &bytes, int at)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | quint8(bytes.at(at + i));
    return value;
}

int brightness(QRgb c)
{
    return qRed(c) + qGreen(c) + qBlue(c);
}

} // namespace

class TestImages : public QObject
{
    Q_OBJECT

private slots:
    void picture_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<uint>("border");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("header strip") << ":/img/head.png" << QSize(2000, 131) << uint(kBackground) << 0;
        QTest::newRow("emblem") << ":/img/logo.png" << QSize(128, 128) << uint(kEmblemBackground) << 3;
        QTest::newRow("close") << ":/img/close.png" << QSize(32, 32) << uint(kBackground) << 0;
        QTest::newRow("close under mouse") << ":/img/closeh.png" << QSize(32, 32) << uint(kBackground) << 0;
        QTest::newRow("wheel drawing") << ":/img/back.png" << QSize(3200, 1800) << uint(kBackground) << 0;
        QTest::newRow("about logo") << ":/img/about.png" << QSize(800, 250) << uint(kBackground) << 0;
        QTest::newRow("minimise") << ":/img/min.png" << QSize(32, 32) << uint(kBackground) << 0;
        // Taken instead of the two above on screens of 150 % and more: one picture
        // pixel per screen pixel at 200 %.
        QTest::newRow("close at 2x") << ":/img/close@2x.png" << QSize(48, 48) << uint(kBackground) << 0;
        QTest::newRow("close under mouse at 2x") << ":/img/closeh@2x.png" << QSize(48, 48) << uint(kBackground) << 0;
    }

    // Stored as the PNG file itself (no zlib layer over it), 8-bit RGB with no
    // alpha channel, loading at the size the form's rectangles are scaled from
    // straight into the format a pixmap keeps (an RGBA file would be copied
    // once more to drop its alpha); every row unfiltered, which decodes
    // faster than filtered rows.
    void picture()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QResource resource(path);
        QVERIFY2(resource.isValid(), qPrintable(path));
        QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);
        const QByteArray bytes(reinterpret_cast<const char *>(resource.data()), int(resource.size()));
        QVERIFY(bytes.size() > 26);
        QCOMPARE(bytes.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        QCOMPARE(int(quint8(bytes.at(24))), 8); // bit depth
        QCOMPARE(int(quint8(bytes.at(25))), 2); // colour type: RGB

        const QImage image(path);
        QCOMPARE(image.size(), size);
        QCOMPARE(image.format(), QImage::Format_RGB32);

        // The rows' filter bytes, in the inflated IDAT data (qUncompress wants
        // the inflated size in front of the zlib stream).
        const int rowBytes = 1 + 3 * size.width();
        QByteArray idat;
        appendBigEndian(idat, quint32(rowBytes * size.height()));
        for (int at = 8; at + 8 <= bytes.size();) {
            const int length = int(readBigEndian(bytes, at));
            if (bytes.mid(at + 4, 4) == "IDAT")
                idat += bytes.mid(at + 8, length);
            at += 12 + length;
        }
        const QByteArray rows = qUncompress(idat);
        QCOMPARE(rows.size(), rowBytes * size.height());
        for (int y = 0; y < size.height(); ++y)
            if (rows.at(y * rowBytes) != 0)
                QFAIL(qPrintable(QString("row %1 has filter %2").arg(y).arg(int(rows.at(y * rowBytes)))));
    }

    void opaqueWithTheWindowColourAtItsBorder_data() { picture_data(); }
    void opaqueWithTheWindowColourAtItsBorder()
    {
        QFETCH(QString, path);
        QFETCH(uint, border);
        QFETCH(int, tolerance);
        const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!image.isNull());
        const int w = image.width(), h = image.height();
        for (int y = 0; y < h; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                if (qAlpha(line[x]) != 255)
                    QFAIL(qPrintable(QString("alpha %1 at (%2, %3)").arg(qAlpha(line[x])).arg(x).arg(y)));
                const bool onBorder = x == 0 || y == 0 || x == w - 1 || y == h - 1;
                if (onBorder && !near(line[x], border, tolerance))
                    QFAIL(qPrintable(QString("(%1, %2) is %3").arg(x).arg(y).arg(rgb(line[x]))));
            }
        }
    }

    // Each LED button, as the form places it on its page, lies on a drawn
    // control: the drawing is at (61, 11) on the page at one fifth of its size.
    void wheelControlUnderLedButton_data()
    {
        QTest::addColumn<QRect>("button");
        QTest::newRow("pbB1") << QRect(150, 37, 24, 24);
        QTest::newRow("pbB2") << QRect(211, 67, 24, 24);
        QTest::newRow("pbB3") << QRect(238, 139, 25, 25);
        QTest::newRow("pbB4") << QRect(267, 220, 24, 24);
        QTest::newRow("pbB5") << QRect(242, 269, 24, 24);
        QTest::newRow("pbB6") << QRect(227, 317, 24, 24);
        QTest::newRow("pbB9") << QRect(589, 37, 24, 24);
        QTest::newRow("pbB10") << QRect(527, 67, 24, 24);
        QTest::newRow("pbB11") << QRect(500, 139, 25, 25);
        QTest::newRow("pbB12") << QRect(472, 220, 24, 24);
        QTest::newRow("pbB13") << QRect(496, 269, 24, 24);
        QTest::newRow("pbB14") << QRect(512, 317, 24, 24);
        QTest::newRow("pbD13") << QRect(300, 122, 26, 25);
        QTest::newRow("pbD16") << QRect(300, 276, 26, 25);
        QTest::newRow("pbD26") << QRect(437, 276, 26, 25);
        QTest::newRow("pbD23") << QRect(437, 122, 26, 25);
        QTest::newRow("pbD3") << QRect(183, 110, 25, 25);
        QTest::newRow("pbD4") << QRect(555, 110, 25, 25);
    }
    void wheelControlUnderLedButton()
    {
        QFETCH(QRect, button);
        static const QImage back(":/img/back.png");
        const QRect area((button.x() - 61) * 5, (button.y() - 11) * 5, button.width() * 5, button.height() * 5);
        QVERIFY(back.rect().contains(area));
        int drawn = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                drawn += back.pixel(x, y) != kBackground;
        // More than a rim line crossing the square: a control fills a good part of it.
        QVERIFY2(drawn > area.width() * area.height() / 10, qPrintable(QString::number(drawn)));
    }

    // The bar along rows 85 to 113 runs from its slanted left end (about one
    // ninth of the width) to the right edge, blue, from (34, 82, 115) on the
    // left brightening to (58, 139, 195) on the right.
    void headerBarBrightensToTheRight_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 85; row <= 113; row += 4)
            QTest::newRow(qPrintable(QString("row %1").arg(row))) << row;
    }
    void headerBarBrightensToTheRight()
    {
        QFETCH(int, row);
        static const QImage head(":/img/head.png");
        int previous = -1;
        for (int x = 320; x <= 1999; x += 30) {
            const QRgb px = head.pixel(x, row);
            const QString where = QString("x %1: %2").arg(x).arg(rgb(px));
            QVERIFY2(qBlue(px) > qGreen(px) && qGreen(px) > qRed(px) && qBlue(px) > qRed(px) + 60, qPrintable(where));
            QVERIFY2(brightness(px) >= previous, qPrintable(where));
            previous = brightness(px);
        }
        QVERIFY2(near(head.pixel(320, row), qRgb(34, 82, 115), 10), qPrintable(rgb(head.pixel(320, row))));
        QVERIFY2(near(head.pixel(1998, row), qRgb(58, 139, 195), 4), qPrintable(rgb(head.pixel(1998, row))));
    }
};

QTEST_MAIN(TestImages)
#include "tst_images.moc"
