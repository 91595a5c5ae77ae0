// The bare window the program is measured against: a frameless 900 x 500
// QMainWindow and nothing else, started the way the program starts.

#include "probe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(900, 500);
    window.show();
    return bench::runStartupChild(app, &window, QCoreApplication::arguments(), nullptr);
}
