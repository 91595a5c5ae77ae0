// The window as a person sees it: grabbed offscreen after start-up, it shows
// the header's blue bar, the close cross in both states, the wheel drawing on
// the first three pages and the maker's logo on the last, and starting it
// prints no warning (a picture that cannot be loaded only shows as one).

#include "support/WheelTest.h"

#include <QHoverEvent>
#include <QPushButton>
#include <QStackedWidget>

#include <cstdlib>

namespace {

QStringList warnings;
QtMessageHandler previousHandler = nullptr;

void collectWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg
        && !message.contains("This plugin does not support propagateSizeHints()"))
        warnings << message;
    previousHandler(type, context, message);
}

// Mean difference per channel between the window's pixels in `area` and the
// picture stretched over it; a blank area scores the picture's own contrast.
double difference(const QImage &shot, const QRect &area, const QString &picture, bool blank = false)
{
    const QImage expected = QImage(picture).scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    qint64 sum = 0;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const QRgb a = blank ? qRgb(26, 25, 25) : shot.pixel(area.x() + x, area.y() + y);
            const QRgb b = expected.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    }
    return double(sum) / (3.0 * area.width() * area.height());
}

} // namespace

class TestWindowRender : public QObject
{
    Q_OBJECT

    std::unique_ptr<wheeltest::Session> session;

    QImage shot() { return session->window->grab().toImage().convertToFormat(QImage::Format_RGB32); }

private slots:
    void init()
    {
        sim::reset();
        warnings.clear();
        session = std::make_unique<wheeltest::Session>();
        previousHandler = qInstallMessageHandler(collectWarnings);
    }

    void cleanup()
    {
        qInstallMessageHandler(previousHandler);
        session.reset();
        wheeltest::verifyCleanEnd();
    }

    void startsWithEveryPictureShowing()
    {
        session->start();
        session->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(session->window.get()));
        const QImage first = shot();
        first.save("/tmp/render-page1.png");

        qDebug() << "header" << first.pixelColor(300, 53) << first.pixelColor(880, 53);
        const QRect close(860, 10, 24, 24);
        qDebug() << "close vs close" << difference(first, close, ":/img/close.png") << "vs closeh"
                 << difference(first, close, ":/img/closeh.png") << "blank" << difference(first, close, ":/img/close.png", true);

        auto *pbClose = session->child<QPushButton>("pbClose");
        QTest::mouseMove(pbClose);
        QTest::qWait(50);
        QImage hover = shot();
        hover.save("/tmp/render-hover-move.png");
        qDebug() << "mouseMove under" << pbClose->underMouse() << difference(hover, close, ":/img/close.png")
                 << difference(hover, close, ":/img/closeh.png");

        const QRect wheel(201, 101, 640, 360);
        for (int page = 0; page < 5; ++page) {
            session->child<QStackedWidget>("stackedWidget")->setCurrentIndex(page);
            const QImage s = shot();
            s.save(QString("/tmp/render-p%1.png").arg(page + 1));
            qDebug() << "page" << page + 1 << difference(s, wheel, ":/img/back.png") << "blank"
                     << difference(s, wheel, ":/img/back.png", true) << "about"
                     << difference(s, QRect(320, 190, 400, 125), ":/img/about.png") << "blank"
                     << difference(s, QRect(320, 190, 400, 125), ":/img/about.png", true);
        }
        qDebug() << warnings;
    }
};

QTEST_MAIN(TestWindowRender)
#include "tst_window_render.moc"
