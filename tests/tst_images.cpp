// The embedded pictures: present under ":/img/", stored uncompressed, of the
// sizes the form's rectangles are made for, opaque on the window's near-black,
// and drawn so that the LED page's buttons sit on the wheel's controls.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QRect>
#include <QResource>
#include <QStringList>
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

// Rectangle on the LED page -> pixels of the wheel drawing, which lies at
// (61, 11) on the page at one fifth of its size.
QRect drawingRect(int x, int y, int w, int h)
{
    return QRect((x - 61) * 5, (y - 11) * 5, w * 5, h * 5);
}

int countNotBackground(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!near(image.pixel(x, y), kBackground, 0))
                ++count;
    return count;
}

int brightness(QRgb c)
{
    return qRed(c) + qGreen(c) + qBlue(c);
}

void addImageRows()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("head") << ":/img/head.png" << QSize(2000, 131);
    QTest::newRow("logo") << ":/img/logo.png" << QSize(128, 128);
    QTest::newRow("close") << ":/img/close.png" << QSize(32, 32);
    QTest::newRow("closeh") << ":/img/closeh.png" << QSize(32, 32);
    QTest::newRow("back") << ":/img/back.png" << QSize(3200, 1800);
    QTest::newRow("about") << ":/img/about.png" << QSize(800, 250);
    QTest::newRow("min") << ":/img/min.png" << QSize(32, 32);
}

}  // namespace

class TestImages : public QObject
{
    Q_OBJECT

private slots:
    void bundleHoldsExactlyTheSevenPictures()
    {
        QStringList names = QDir(":/img").entryList(QDir::Files);
        names.sort();
        const QStringList expected = {"about.png", "back.png", "close.png", "closeh.png",
                                      "head.png",  "logo.png", "min.png"};
        QCOMPARE(names, expected);
    }

    void loadsAtItsSize_data() { addImageRows(); }
    void loadsAtItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), size);
    }

    void storedUncompressedAsRgbaPng_data() { addImageRows(); }
    void storedUncompressedAsRgbaPng()
    {
        QFETCH(QString, path);
        const QResource resource(path);
        QVERIFY(resource.isValid());
#if QT_VERSION >= QT_VERSION_CHECK(5, 13, 0)
        QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);
#else
        QVERIFY(!resource.isCompressed());
#endif
        // The stored bytes are the PNG file itself: signature, then IHDR with
        // bit depth 8 and colour type 6 (red, green, blue, alpha).
        const QByteArray bytes(reinterpret_cast<const char *>(resource.data()),
                               int(resource.size()));
        QVERIFY(bytes.size() > 33);
        QCOMPARE(bytes.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        QCOMPARE(bytes.mid(12, 4), QByteArray("IHDR"));
        QCOMPARE(int(quint8(bytes.at(24))), 8);
        QCOMPARE(int(quint8(bytes.at(25))), 6);
    }

    void fullyOpaque_data() { addImageRows(); }
    void fullyOpaque()
    {
        QFETCH(QString, path);
        const QImage image(path);
        QVERIFY(!image.isNull());
        QVERIFY2(image.hasAlphaChannel() || image.format() == QImage::Format_RGB32
                     || image.format() == QImage::Format_RGB888,
                 "not RGBA or opaque RGB");
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                if (qAlpha(line[x]) != 255)
                    QFAIL(qPrintable(QString("alpha %1 at (%2, %3)")
                                         .arg(qAlpha(line[x]))
                                         .arg(x)
                                         .arg(y)));
            }
        }
    }

    void borderIsTheWindowBackground_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<uint>("colour");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("head") << ":/img/head.png" << uint(kBackground) << 0;
        QTest::newRow("logo") << ":/img/logo.png" << uint(kEmblemBackground) << 3;
        QTest::newRow("close") << ":/img/close.png" << uint(kBackground) << 0;
        QTest::newRow("closeh") << ":/img/closeh.png" << uint(kBackground) << 0;
        QTest::newRow("back") << ":/img/back.png" << uint(kBackground) << 0;
        QTest::newRow("about") << ":/img/about.png" << uint(kBackground) << 0;
        QTest::newRow("min") << ":/img/min.png" << uint(kBackground) << 0;
    }
    void borderIsTheWindowBackground()
    {
        QFETCH(QString, path);
        QFETCH(uint, colour);
        QFETCH(int, tolerance);
        const QImage image(path);
        QVERIFY(!image.isNull());
        const int w = image.width();
        const int h = image.height();
        QVector<QPoint> border;
        for (int x = 0; x < w; ++x)
            border << QPoint(x, 0) << QPoint(x, h - 1);
        for (int y = 1; y < h - 1; ++y)
            border << QPoint(0, y) << QPoint(w - 1, y);
        for (const QPoint &pt : border) {
            const QRgb px = image.pixel(pt);
            if (!near(px, colour, tolerance))
                QFAIL(qPrintable(QString("(%1, %2) is rgb(%3, %4, %5)")
                                     .arg(pt.x())
                                     .arg(pt.y())
                                     .arg(qRed(px))
                                     .arg(qGreen(px))
                                     .arg(qBlue(px))));
        }
    }

    void logoShowsTheBlueEmblem()
    {
        const QImage logo(":/img/logo.png");
        int blue = 0;
        for (int y = 0; y < logo.height(); ++y)
            for (int x = 0; x < logo.width(); ++x)
                if (near(logo.pixel(x, y), qRgb(0, 116, 190), 8))
                    ++blue;
        QVERIFY2(blue > 128 * 128 / 8, qPrintable(QString::number(blue)));
        // Its surroundings are the emblem's near-black.
        QVERIFY(near(logo.pixel(4, 4), kEmblemBackground, 0));
        QVERIFY(near(logo.pixel(123, 123), kEmblemBackground, 0));
    }

    void aboutShowsEmblemBesideWordmark()
    {
        const QImage about(":/img/about.png");
        int blueLeft = 0, whiteRight = 0, blueRight = 0;
        for (int y = 0; y < about.height(); ++y) {
            for (int x = 0; x < about.width(); ++x) {
                const QRgb px = about.pixel(x, y);
                const bool blue = qBlue(px) > qRed(px) + 80;
                const bool white = qRed(px) > 230 && qGreen(px) > 230 && qBlue(px) > 230;
                if (x < 250 && blue)
                    ++blueLeft;
                if (x >= 250 && white)
                    ++whiteRight;
                if (x >= 250 && blue)
                    ++blueRight;
            }
        }
        QVERIFY2(blueLeft > 5000, qPrintable(QString::number(blueLeft)));
        QVERIFY2(whiteRight > 10000, qPrintable(QString::number(whiteRight)));
        QCOMPARE(blueRight, 0);
    }

    void windowButtonsAreWhiteOnNearBlack_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("close") << ":/img/close.png";
        QTest::newRow("closeh") << ":/img/closeh.png";
        QTest::newRow("min") << ":/img/min.png";
    }
    void windowButtonsAreWhiteOnNearBlack()
    {
        QFETCH(QString, path);
        const QImage image(path);
        int white = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (near(image.pixel(x, y), qRgb(255, 255, 255), 0))
                    ++white;
        QVERIFY2(white >= 20, qPrintable(QString::number(white)));
        QVERIFY(near(image.pixel(2, 2), kBackground, 0));
        QVERIFY(near(image.pixel(29, 2), kBackground, 0));
    }

    void closeHoverCrossIsSmaller()
    {
        // The extent of the white strokes: the hover cross stays inside the plain one.
        auto whiteBounds = [](const QImage &image) {
            QRect bounds;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qRed(image.pixel(x, y)) > 200)
                        bounds |= QRect(x, y, 1, 1);
            return bounds;
        };
        const QRect plain = whiteBounds(QImage(":/img/close.png"));
        const QRect hover = whiteBounds(QImage(":/img/closeh.png"));
        QVERIFY(!hover.isEmpty());
        QVERIFY(plain.contains(hover));
        QVERIFY(hover.width() < plain.width());
    }

    void wheelControlUnderEveryLedButton_data()
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
    void wheelControlUnderEveryLedButton()
    {
        QFETCH(QRect, button);
        static const QImage back(":/img/back.png");
        QVERIFY(!back.isNull());
        const QRect area = drawingRect(button.x(), button.y(), button.width(), button.height());
        QVERIFY(back.rect().contains(area));
        const int drawn = countNotBackground(back, area);
        // A control's rings fill well over a tenth of the button's square.
        QVERIFY2(drawn > area.width() * area.height() / 10, qPrintable(QString::number(drawn)));
        // The button's centre is the control's, so the centre pixel is free and
        // the rings run round it on all four sides.
        const QPoint c = area.center();
        const int reach = area.width() / 2;
        auto drawnAlong = [&](int dx, int dy) {
            for (int i = 1; i < reach; ++i)
                if (!near(back.pixel(c.x() + dx * i, c.y() + dy * i), kBackground, 0))
                    return true;
            return false;
        };
        QVERIFY(drawnAlong(1, 0));
        QVERIFY(drawnAlong(-1, 0));
        QVERIFY(drawnAlong(0, 1));
        QVERIFY(drawnAlong(0, -1));
    }

    void wheelDrawingLeavesOtherWidgetsClear_data()
    {
        QTest::addColumn<QRect>("area");  // in drawing pixels
        QTest::newRow("bite point slider") << drawingRect(309, 40, 141, 22);
        QTest::newRow("bite point caption") << drawingRect(310, 15, 141, 21);
        QTest::newRow("combined check box") << drawingRect(10, 0, 111, 20);
        QTest::newRow("save button") << drawingRect(300, 369, 161, 31);
        QTest::newRow("bottom rows") << QRect(0, 1740, 3200, 60);
    }
    void wheelDrawingLeavesOtherWidgetsClear()
    {
        QFETCH(QRect, area);
        static const QImage back(":/img/back.png");
        const QRect inside = area.intersected(back.rect());
        QVERIFY(!inside.isEmpty());
        QCOMPARE(countNotBackground(back, inside), 0);
    }

    void wheelDrawingShowsEmblemAtCentre()
    {
        static const QImage back(":/img/back.png");
        const int drawn = countNotBackground(back, QRect(1520, 820, 160, 160));
        QVERIFY2(drawn > 160 * 160 / 4, qPrintable(QString::number(drawn)));
    }

    void headerBarIsBlueAndBrightensToTheRight_data()
    {
        QTest::addColumn<int>("row");
        // Every fourth row from the first (85) to the last (113).
        for (int row = 85; row <= 113; row += 4)
            QTest::newRow(qPrintable(QString("row %1").arg(row))) << row;
    }
    void headerBarIsBlueAndBrightensToTheRight()
    {
        QFETCH(int, row);
        static const QImage head(":/img/head.png");
        int previous = -1;
        for (int x = 320; x <= 1990; x += 30) {
            const QRgb px = head.pixel(x, row);
            QVERIFY2(qBlue(px) > qGreen(px) && qGreen(px) > qRed(px) && qBlue(px) > qRed(px) + 60,
                     qPrintable(QString("x %1").arg(x)));
            QVERIFY2(brightness(px) >= previous, qPrintable(QString("x %1").arg(x)));
            previous = brightness(px);
        }
        QVERIFY(near(head.pixel(320, row), qRgb(34, 82, 115), 10));
        QVERIFY(near(head.pixel(1997, row), qRgb(58, 139, 195), 4));
        QVERIFY(brightness(head.pixel(1990, row)) > brightness(head.pixel(320, row)) + 100);
    }

    void headerBarOnlyInItsRows()
    {
        const QImage head(":/img/head.png");
        for (int x = 400; x < 1999; x += 50) {
            QVERIFY(near(head.pixel(x, 84), kBackground, 0));
            QVERIFY(near(head.pixel(x, 114), kBackground, 0));
        }
        // Left of the bar's slanted end the strip is empty below the wedge.
        QVERIFY(near(head.pixel(150, 100), kBackground, 0));
    }

    void headerWedgeRunsDownIntoTheBar()
    {
        const QImage head(":/img/head.png");
        // In each row above the bar the wedge is one narrow run of colour,
        // further right the lower the row and wider the lower it is.
        int lastStart = -1, lastWidth = 0;
        for (int row = 15; row <= 80; row += 13) {
            int start = -1, end = -1;
            for (int x = 1; x < 400; ++x) {
                if (!near(head.pixel(x, row), kBackground, 0)) {
                    if (start < 0)
                        start = x;
                    end = x;
                }
            }
            QVERIFY2(start > lastStart, qPrintable(QString("row %1").arg(row)));
            QVERIFY2(end - start + 1 >= lastWidth, qPrintable(QString("row %1").arg(row)));
            QVERIFY(end - start + 1 < 60);
            lastStart = start;
            lastWidth = end - start + 1;
        }
        QVERIFY(lastStart > 150 && lastStart < 240);
    }
};

QTEST_MAIN(TestImages)
#include "tst_images.moc"
