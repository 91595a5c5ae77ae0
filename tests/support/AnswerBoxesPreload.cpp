// Loaded into a program with LD_PRELOAD, so that a test can run the installed
// program itself on the offscreen platform: answers its message boxes as a
// user pressing OK would, and when the program quits reports on stderr what
// it answered ("box: <title>/<text>") and the desktop file name the program
// gave ("desktop file: <name>").

#include "support/ModalAnswerer.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>

namespace {

void startAnswering()
{
    auto *answerer = new ModalAnswerer(QCoreApplication::instance());
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, answerer, [answerer] {
        std::fprintf(stderr, "desktop file: %s\n", qPrintable(QGuiApplication::desktopFileName()));
        for (const QString &message : answerer->messages())
            std::fprintf(stderr, "box: %s\n", qPrintable(message));
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startAnswering)
