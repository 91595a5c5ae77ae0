// The window on a screen of 192 dpi (200 %), or of the dpi in QT_FONT_DPI
// (144: 150 %): as many device pixels each way as the scale says, and at 200 %
// pictures drawn from their full resolution rather than a 1x drawing blown up.
// High DPI is set up before the QApplication exists, the way the program does it.
#include "app/highdpi.h"
#include "support/WheelTest.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

#include <cmath>

namespace {

// 96 dpi is 100 %.
constexpr int kDefaultDpi = 192;
// The scale under test, from the dpi.
qreal screenScale = 2;

int grey(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c); }

// Detail finer than two pixels: how far each pixel lies from the mean of its
// aligned 2 x 2 block. A drawing made at half the resolution and doubled has none.
double fineDetail(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const int a = grey(image.pixel(x, y)), b = grey(image.pixel(x + 1, y)), c = grey(image.pixel(x, y + 1)),
                      d = grey(image.pixel(x + 1, y + 1));
            const double mean = (a + b + c + d) / 4.0;
            sum += (a - mean) * (a - mean) + (b - mean) * (b - mean) + (c - mean) * (c - mean) + (d - mean) * (d - mean);
        }
    return sum;
}

// The file Qt takes for `picture` at 2x: its "@2x" variant where there is one.
QString sourceFor(const QString &picture)
{
    const QFileInfo info(picture);
    const QString twice = info.path() + '/' + info.completeBaseName() + "@2x." + info.suffix();
    return QFileInfo::exists(twice) ? twice : picture;
}

} // namespace

class TestHighDpi : public QObject
{
    Q_OBJECT

    std::unique_ptr<wheeltest::Session> session;

    // The window in device pixels, as the screen gets it.
    QImage shot() const { return session->window->grab().toImage().convertToFormat(QImage::Format_RGB32); }

private slots:
    void init()
    {
        sim::reset();
        session = std::make_unique<wheeltest::Session>();
        session->start();
        session->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(session->window.get()));
    }

    void cleanup()
    {
        session.reset();
        wheeltest::verifyCleanEnd();
    }

    void windowIsTwiceAsLarge()
    {
        MainWindow &window = *session->window;
        QCOMPARE(window.size(), QSize(900, 500));
        QVERIFY(window.windowHandle());
        QCOMPARE(window.windowHandle()->devicePixelRatio(), screenScale);
        const QPixmap grabbed = window.grab();
        QCOMPARE(grabbed.devicePixelRatio(), screenScale);
        QCOMPARE(grabbed.size(), (QSizeF(900, 500) * screenScale).toSize());
    }

    void picturesAreSharp_data()
    {
        QTest::addColumn<QString>("sidebar");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("picture");
        QTest::newRow("wheel drawing") << "pbS1" << "lbMain" << ":/img/back.png";
        QTest::newRow("emblem") << "pbS1" << "lbIcon" << ":/img/logo.png";
        QTest::newRow("close") << "pbS1" << "pbClose" << ":/img/close.png";
        QTest::newRow("about logo") << "pbS5" << "label" << ":/img/about.png";
    }

    // The window's pixels over each picture hold the detail of the picture
    // scaled straight to their number (sharp), not just that of the picture
    // scaled to the widget's size in device-independent pixels and blown up
    // from there. (The header strip is left out: its picture has hardly more
    // rows than the strip has at 2x, so the two would look alike.)
    void picturesAreSharp()
    {
        QFETCH(QString, sidebar);
        QFETCH(QString, widget);
        QFETCH(QString, picture);
        if (screenScale != 2)
            QSKIP("compares 2 x 2 blocks of pixels: only at 200 %");
        session->child<QPushButton>(qPrintable(sidebar))->click();
        QWidget *shown = session->child<QWidget>(qPrintable(widget));
        const QRect logical(shown->mapTo(shown->window(), QPoint()), shown->size());
        const QRect device(logical.topLeft() * screenScale, logical.size() * screenScale);
        const QImage window = shot();
        QVERIFY(window.rect().contains(device));
        const QImage drawn = window.copy(device);

        const QImage source(sourceFor(picture));
        QVERIFY(!source.isNull());
        const QImage sharp = source.scaled(device.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_RGB32);
        const QImage soft = source.scaled(logical.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .scaled(device.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGB32);
        const double drawnDetail = fineDetail(drawn), sharpDetail = fineDetail(sharp), softDetail = fineDetail(soft);
        const QString numbers = QStringLiteral("detail: drawn %1, sharp %2, blown up %3")
                                    .arg(drawnDetail, 0, 'g', 3).arg(sharpDetail, 0, 'g', 3).arg(softDetail, 0, 'g', 3);
        QVERIFY2(sharpDetail > softDetail * 1.5, qPrintable("the references hardly differ; " + numbers));
        QVERIFY2(drawnDetail > (sharpDetail + softDetail) / 2, qPrintable(numbers));
    }

    // At 200 % the close button's 24 x 24 are 48 x 48 screen pixels, just the
    // size of its pictures' "@2x" variants: Qt takes those, one to one.
    void closeButtonDrawnFromItsTwiceVariant()
    {
        if (screenScale != 2)
            QSKIP("only at 200 %");
        QWidget *close = session->child<QWidget>("pbClose");
        const QRect device(close->mapTo(close->window(), QPoint()) * screenScale, close->size() * screenScale);
        QCOMPARE(shot().copy(device), QImage(":/img/close@2x.png").convertToFormat(QImage::Format_RGB32));
        // QTest's own mouse moves miss the button on a scaled offscreen screen
        // under Qt 5; the window system's events, in device-independent
        // pixels, reach it under both: the mouse enters the window, then moves.
        QWindow *const handle = close->window()->windowHandle();
        const QPoint inside = close->mapTo(close->window(), close->rect().center());
        const QPoint global = handle->mapToGlobal(inside);
        QEnterEvent enter(inside, inside, global);
        QApplication::sendEvent(handle, &enter);
        QMouseEvent move(QEvent::MouseMove, inside, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QTRY_VERIFY(close->underMouse());
        QCOMPARE(shot().copy(device), QImage(":/img/closeh@2x.png").convertToFormat(QImage::Format_RGB32));
    }
};

int main(int argc, char *argv[])
{
    // The screen's dpi as X11 desktops set it (Xft.dpi), which Qt scales by.
    if (qEnvironmentVariableIntValue("QT_FONT_DPI") <= 0)
        qputenv("QT_FONT_DPI", QByteArray::number(kDefaultDpi));
    screenScale = qEnvironmentVariableIntValue("QT_FONT_DPI") / 96.0;
    vorla::prepareHighDpi();
    QApplication app(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
