// Pictures of Vorla Setting for the README and for a look at the window:
//   vorla-screenshots --pages DIR    each of the five pages, on the simulated
//                                    wheel with its factory settings
//   vorla-screenshots --screen FILE  the whole screen (e.g. an Xvfb display)
// Used by scripts/run-sim.sh and scripts/screenshots.sh.

#include "app/MainWindow.h"
#include "app/highdpi.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

namespace {

int grabPages(const QString &directory)
{
    QDir().mkpath(directory);
    MainWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.show();
    // onInit runs from the event loop; wait for the version line it writes.
    auto *version = window.findChild<QLabel *>(QStringLiteral("lbVersion"));
    for (int i = 0; i < 100 && version->text().isEmpty(); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    const char *const names[] = {"inputs", "rgb", "paddles", "device", "about"};
    for (int page = 0; page < 5; ++page) {
        window.findChild<QPushButton *>(QStringLiteral("pbS%1").arg(page + 1))->click();
        QCoreApplication::processEvents();
        const QString path = QDir(directory).filePath(QStringLiteral("page%1-%2.png").arg(page + 1).arg(names[page]));
        if (!window.grab().save(path))
            return 1;
        QTextStream(stdout) << path << '\n';
    }
    return 0;
}

int grabScreen(const QString &path)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->grabWindow(0).save(path) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    vorla::prepareHighDpi();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--pages"))
        return grabPages(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--screen"))
        return grabScreen(args[2]);
    QTextStream(stderr) << "usage: vorla-screenshots --pages DIR | --screen FILE\n";
    return 2;
}
