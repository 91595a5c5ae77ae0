#include "app/MainWindow.h"
#include "app/highdpi.h"

#include "device/connection.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    vorla::prepareHighDpi();
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
