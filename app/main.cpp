#include "app/CommandLine.h"
#include "app/MainWindow.h"

#include "device/connection.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // A command runs without a window, and so without a display.
    if (CommandLine::requested(argc, argv))
        return CommandLine::exec(argc, argv);
    QApplication app(argc, argv);
    // Lets the desktop match the window with vorla-setting.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vorla-setting"));
    int result = 0;
    {
        MainWindow window;
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.show();
        result = app.exec();
    }
    vorla::connection::shutdown();
    return result;
}
