// The program's window as vorla-setting runs it, for end-to-end tests that
// need it in a process of its own (run as another user, or built for Windows
// and run under wine): its modal boxes are answered, and when the program ends
// each is printed on a line (a text of several lines by its first)
//   box: <kind> <title>/<text>
// With steps (or --quit-after-start, none) it waits for the start-up read,
// prints "version: <label>", carries the steps out one after the other and
// closes the window. A step is one argument:
//   pick=BUTTON:#RRGGBB   the colour dialog answered with the colour, the button clicked
//   click=BUTTON          a push button clicked (its box answered)
//   bite=VALUE            the bite point slider moved
//   pixel=BUTTON          prints "pixel BUTTON #rrggbb", the colour in the button's middle
//   watcher               prints "watcher: <class>", how the window hears of the wheel
//   upload=FILE           the firmware uploaded (the question answered with Upgrade, the
//                         writing pause shortened); once the wheel is read again, prints
//                         "version: <label>"
//   reconnect-wait=MS     how long the window waits for the wheel after an upload
//   away                  waits for the banner of a wheel pulled out, prints "away"
//   back                  waits for the wheel read again, prints "version: <label>"
// Each printed line is flushed at once, so that a test can act on it.
// With --wait-wheel alone it opens no window: it ends with status 0 as soon as
// the wheel is listed, or 1 after 15 s without it.

#include "app/MainWindow.h"
#include "device/DeviceWatcher.h"
#include "device/connection.h"
#include "support/ModalAnswerer.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// One step: true once it is done (it is asked again every few milliseconds).
std::function<bool()> makeStep(const QString &step, MainWindow &window, ModalAnswerer &answerer)
{
    const QString name = step.section(QLatin1Char('='), 0, 0);
    const QString value = step.section(QLatin1Char('='), 1);
    auto child = [&window](const QString &objectName) { return window.findChild<QWidget *>(objectName); };
    auto version = [&window] { return window.findChild<QLabel *>(QStringLiteral("lbVersion"))->text(); };
    vorla::WheelSession &session = window.wheelSession();
    auto ready = [&session] {
        return session.state() == vorla::WheelSession::State::Ready && !session.transferRunning();
    };

    if (name == QLatin1String("pick"))
        return [&answerer, child, value] {
            answerer.chooseColor(QColor(value.section(QLatin1Char(':'), 1)));
            qobject_cast<QPushButton *>(child(value.section(QLatin1Char(':'), 0, 0)))->click();
            return true;
        };
    if (name == QLatin1String("click"))
        return [child, value] { return qobject_cast<QPushButton *>(child(value))->click(), true; };
    if (name == QLatin1String("bite"))
        return [&window, value] {
            return window.findChild<QSlider *>(QStringLiteral("hsBite"))->setValue(value.toInt()), true;
        };
    if (name == QLatin1String("pixel"))
        return [child, value] {
            QWidget *button = child(value);
            const QImage image = button->grab().toImage();
            say(QStringLiteral("pixel %1 %2").arg(value, image.pixelColor(image.rect().center()).name()));
            return true;
        };
    if (name == QLatin1String("watcher"))
        return [&window] {
            const auto *watcher = window.findChild<vorla::DeviceWatcher *>();
            say(QStringLiteral("watcher: %1").arg(watcher ? watcher->metaObject()->className() : "none"));
            return true;
        };
    if (name == QLatin1String("reconnect-wait"))
        return [&session, value] { return session.setReconnectWait(std::chrono::milliseconds(value.toInt())), true; };
    if (name == QLatin1String("upload")) {
        auto started = std::make_shared<bool>(false);
        return [&window, &answerer, child, version, ready, value, started] {
            if (!*started) {
                *started = true;
                answerer.chooseQuestionButton(QMessageBox::Yes);
                window.upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(50));
                qobject_cast<QLineEdit *>(child(QStringLiteral("lePath")))->setText(value);
                qobject_cast<QPushButton *>(child(QStringLiteral("pbUpgrade")))->click();
                return false;
            }
            if (!ready() || child(QStringLiteral("pgUpgrade"))->isVisible())
                return false;
            say(QStringLiteral("version: %1").arg(version()));
            return true;
        };
    }
    if (name == QLatin1String("away"))
        return [child] {
            if (!child(QStringLiteral("disconnectedBanner"))->isVisible())
                return false;
            say(QStringLiteral("away"));
            return true;
        };
    if (name == QLatin1String("back"))
        return [child, version, ready] {
            if (child(QStringLiteral("disconnectedBanner"))->isVisible() || !ready())
                return false;
            say(QStringLiteral("version: %1").arg(version()));
            return true;
        };
    say(QStringLiteral("unknown step: %1").arg(step));
    return [] { return true; };
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--wait-wheel") == 0) {
        for (int tries = 0; tries < 150; ++tries) {
            if (vorla::connection::wheelPresent())
                return 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return 1;
    }
#ifdef SIGPIPE
    // umockdev answers the emulated node's calls over a socket: a node removed
    // in the middle of a call must fail that call, as a real unplug does, not
    // end the program.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QApplication app(argc, argv);
    QStringList steps = app.arguments().mid(1);
    const bool scripted = steps.removeAll(QStringLiteral("--quit-after-start")) > 0 || !steps.isEmpty();
    ModalAnswerer answerer;
    int result = 0;
    {
        MainWindow window;
        window.show();
        QTimer runner;
        // The runner's state lives as long as the event loop that runs it.
        int next = -1; // -1: the start-up read
        std::function<bool()> current;
        if (scripted) {
            QObject::connect(&runner, &QTimer::timeout, &window, [&] {
                if (next < 0) {
                    const QString version = window.findChild<QLabel *>(QStringLiteral("lbVersion"))->text();
                    if (version.isEmpty())
                        return;
                    say(QStringLiteral("version: %1").arg(version));
                    next = 0;
                }
                // Steps that open a box run their own event loop: never run
                // one inside another.
                runner.stop();
                while (next < steps.size()) {
                    if (!current)
                        current = makeStep(steps.at(next), window, answerer);
                    if (!current()) {
                        runner.start();
                        return;
                    }
                    current = nullptr;
                    ++next;
                }
                window.close();
            });
            runner.start(10);
        }
        result = app.exec();
    }
    vorla::connection::shutdown();
    for (const ModalAnswerer::Box &box : answerer.boxes())
        std::printf("box: %s %s/%s\n", qPrintable(box.kind), qPrintable(box.title),
                    qPrintable(box.text.section(QLatin1Char('\n'), 0, 0)));
    return result;
}
