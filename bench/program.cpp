// The program's start-up child: app/main.cpp's steps, on the simulated wheel.

#include "children.h"
#include "probe.h"

#include "app/MainWindow.h"
#include "device/connection.h"

#include <QApplication>
#include <QPushButton>

int bench::programStartupChild(int argc, char *argv[])
{
    // "mark" lines time the steps, for a look at where start-up goes.
    bench::say("mark main " + QByteArray::number(bench::monotonicNs()));
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("vorla-setting"));
    bench::say("mark application " + QByteArray::number(bench::monotonicNs()));
    int result = 0;
    {
        MainWindow window;
        bench::say("mark constructed " + QByteArray::number(bench::monotonicNs()));
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.show();
        bench::say("mark shown " + QByteArray::number(bench::monotonicNs()));
        // Every page once, each given time to paint, then back to the first.
        const auto visitPages = [&window] {
            for (const char *name : {"pbS2", "pbS3", "pbS4", "pbS5", "pbS1"}) {
                if (auto *button = window.findChild<QPushButton *>(QLatin1String(name)))
                    button->click();
                bench::spin(100);
            }
        };
        result = bench::runStartupChild(app, &window, QCoreApplication::arguments(), visitPages);
    }
    vorla::connection::shutdown();
    return result;
}
