// The program's window as vorla-setting runs it, for end-to-end tests that
// need it in a process of its own (run as another user, for one): its modal
// boxes are answered, and when the program ends each is printed on a line
//   box: <kind> <title>/<text>
// With --quit-after-start it also prints "version: <label>" and ends once the
// start-up read has filled the version label.

#include "app/MainWindow.h"
#include "device/connection.h"
#include "support/ModalAnswerer.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool quitAfterStart = app.arguments().contains(QStringLiteral("--quit-after-start"));
    ModalAnswerer answerer;
    int result = 0;
    {
        MainWindow window;
        window.show();
        QTimer started;
        if (quitAfterStart) {
            QObject::connect(&started, &QTimer::timeout, &window, [&window, &started] {
                const QString version = window.findChild<QLabel *>(QStringLiteral("lbVersion"))->text();
                if (!version.isEmpty()) {
                    // The quit that closing the window brings is queued, so on
                    // a busy machine the timer could fire again before it.
                    started.stop();
                    std::printf("version: %s\n", qPrintable(version));
                    window.close();
                }
            });
            started.start(10);
        }
        result = app.exec();
    }
    vorla::connection::shutdown();
    for (const ModalAnswerer::Box &box : answerer.boxes())
        std::printf("box: %s %s/%s\n", qPrintable(box.kind), qPrintable(box.title), qPrintable(box.text));
    return result;
}
