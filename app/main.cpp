#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/Translations.h"
#include "app/highdpi.h"

#include "device/connection.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char *argv[])
{
    // A command runs without a window, and so without a display.
    if (CommandLine::requested(argc, argv))
        return CommandLine::exec(argc, argv);
    vorla::prepareHighDpi();
    QApplication app(argc, argv);
    vorla::installTranslators(app, QLocale());
    // Lets the desktop match the window with its desktop file and icon, both
    // named by the application id (VORLA_APP_ID, set in packaging/).
    QGuiApplication::setDesktopFileName(QStringLiteral(VORLA_APP_ID));
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
