// The window as a person sees it, grabbed offscreen after start-up, shows each
// of its pictures, and starting it prints no warning (as a lost picture would).
#include "support/WheelTest.h"

#include <QPushButton>

static QStringList warnings;
static QtMessageHandler previousHandler = nullptr;

static int distance(QRgb a, QRgb b) { return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)); }

// The window's pixels over `widget` against `picture` stretched over it, relative to the bare
// near-black window: about 0 when it shows, 1 when not. Widgets laid over it are left out.
static double mismatch(const QImage &shot, QWidget *widget, const QString &picture)
{
    const QRect area(widget->mapTo(widget->window(), QPoint()), widget->size());
    QRegion covered;
    const QObjectList siblings = widget->parentWidget()->children();
    for (int i = siblings.indexOf(widget) + 1; i < siblings.size(); ++i)
        if (auto *above = qobject_cast<QWidget *>(siblings.at(i)); above && above->isVisible())
            covered += QRect(above->mapTo(widget->window(), QPoint()), above->size());
    const QImage expected = QImage(picture).scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    qint64 shown = 0, bare = 0;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            if (const QPoint at = area.topLeft() + QPoint(x, y); shot.rect().contains(at) && !covered.contains(at)) {
                shown += distance(shot.pixel(at), expected.pixel(x, y));
                bare += distance(qRgb(26, 25, 25), expected.pixel(x, y));
            }
    return bare > 0 ? double(shown) / double(bare) : 1.0;
}

class TestWindowRender : public QObject
{
    Q_OBJECT

    std::unique_ptr<wheeltest::Session> session;

    QWidget *child(const QString &name) const { return session->child<QWidget>(qPrintable(name)); }
    QImage shot() const { return session->window->grab().toImage().convertToFormat(QImage::Format_RGB32); }

private slots:
    void init()
    {
        sim::reset();
        warnings.clear();
        previousHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type != QtDebugMsg && type != QtInfoMsg && !text.contains("does not support propagateSizeHints()"))
                warnings << text;
            previousHandler(type, context, text);
        });
        session = std::make_unique<wheeltest::Session>();
        session->start();
        session->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(session->window.get()));
    }

    void cleanup()
    {
        session.reset();
        qInstallMessageHandler(previousHandler);
        wheeltest::verifyCleanEnd();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void pageShowsItsPictures_data()
    {
        QTest::addColumn<QString>("sidebar");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("picture");
        QTest::newRow("INPUTS") << "pbS1" << "lbMain" << ":/img/back.png";
        QTest::newRow("RGB") << "pbS2" << "lbMainRGB" << ":/img/back.png";
        QTest::newRow("PADDLES") << "pbS3" << "lbPaddle" << ":/img/back.png";
        QTest::newRow("ABOUT") << "pbS5" << "label" << ":/img/about.png";
    }
    void pageShowsItsPictures()
    {
        QFETCH(QString, sidebar);
        QFETCH(QString, label);
        QFETCH(QString, picture);
        session->child<QPushButton>(qPrintable(sidebar))->click();
        const QImage window = shot();
        QVERIFY(mismatch(window, child(label), picture) < 0.3);
        QVERIFY(mismatch(window, child("lbSplit"), ":/img/head.png") < 0.3);
        QVERIFY(mismatch(window, child("lbIcon"), ":/img/logo.png") < 0.3);
        QVERIFY(mismatch(window, child("pbClose"), ":/img/close.png") < 0.2);
        // The bar, rows 85-113 of the strip's 131 squeezed to 71: blue, brighter to the right.
        const QRgb left = window.pixel(300, 53), right = window.pixel(880, 53);
        QVERIFY(qBlue(left) > qRed(left) + 60 && qBlue(right) > qRed(right) + 60);
        QVERIFY(distance(right, qRgb(0, 0, 0)) > distance(left, qRgb(0, 0, 0)) + 60);
    }

    // The window is 900 x 500 and draws the wheel pixel for pixel as in the
    // README's screenshot, which the Linux build made: the same on every
    // platform the program is built for.
    void wheelAsInTheScreenshot()
    {
        const QImage window = shot();
        QCOMPARE(window.size(), QSize(900, 500));
        const QImage reference = QImage(QStringLiteral(VORLA_SCREENSHOTS_DIR "/page1-inputs.png"))
                                     .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(reference.size(), window.size());
        QWidget *wheel = child("lbMain");
        const QRect area(wheel->mapTo(wheel->window(), QPoint()), wheel->size());
        int differing = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                differing += window.pixel(x, y) != reference.pixel(x, y);
        QCOMPARE(differing, 0);
    }

    void closeCrossChangesUnderTheMouse()
    {
        QWidget *close = child("pbClose");
        QTest::mouseMove(close);
        QTRY_VERIFY(close->underMouse());
        QVERIFY(mismatch(shot(), close, ":/img/closeh.png") < 0.2);
        QVERIFY(mismatch(shot(), close, ":/img/close.png") > 0.2);
    }
};

QTEST_MAIN(TestWindowRender)
#include "tst_window_render.moc"
