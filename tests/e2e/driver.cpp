// The program's window as vorla-setting runs it, for end-to-end tests that
// need it in a process of its own (run as another user, or built for Windows
// and run under wine): its modal boxes are answered, and when the program ends
// each is printed on a line
//   box: <kind> <title>/<text>
// With steps (or --quit-after-start, none) it waits for the start-up read,
// prints "version: <label>", carries the steps out one after the other and
// closes the window. A step is one argument:
//   pick=BUTTON:#RRGGBB   the colour dialog answered with the colour, the button clicked
//   click=BUTTON          a push button clicked (its box answered)
//   bite=VALUE            the bite point slider moved
//   pixel=BUTTON          prints "pixel BUTTON #rrggbb", the colour in the button's middle
//   watcher               prints "watcher: <class>", how the window hears of the wheel
//   upload=FILE           the firmware uploaded (the writing pause shortened); once the
//                         wheel is read again, prints "version: <label>"
//   reconnect-wait=MS     how long the window waits for the wheel after an upload
//   away                  waits for the banner of a wheel pulled out, prints "away"
//   back                  waits for the wheel read again, prints "version: <label>"
// Each printed line is flushed at once, so that a test can act on it. A step
// it does not know, or a widget that is not there, ends the run with status 2
// and one line on standard error.
// With --wait-wheel alone it opens no window: it ends with status 0 as soon as
// the wheel is listed, or 1 after 15 s without it.

#include "app/MainWindow.h"
#include "device/DeviceWatcher.h"
#include "device/connection.h"
#include "support/ModalAnswerer.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
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
#include <vector>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Set once a step could not be carried out: no later step runs.
bool refused = false;

// Ends the run: the script cannot be carried out as written.
void refuse(const QString &why)
{
    refused = true;
    std::fprintf(stderr, "e2e driver: %s\n", qPrintable(why));
    std::fflush(stderr);
    QCoreApplication::exit(2);
}

// One step: true once it is done (it is asked again every few milliseconds);
// none for a step the driver does not know.
std::function<bool()> makeStep(const QString &step, MainWindow &window, ModalAnswerer &answerer)
{
    const QString name = step.section(QLatin1Char('='), 0, 0);
    const QString value = step.section(QLatin1Char('='), 1);
    // A widget the step names; none (and the run ended) where there is no such one.
    auto child = [&window, step](const QString &objectName) -> QWidget * {
        QWidget *found = window.findChild<QWidget *>(objectName);
        if (!found)
            refuse(QStringLiteral("no widget named '%1' (step %2)").arg(objectName, step));
        return found;
    };
    // The form's own widgets, which are always there.
    auto part = [&window](const QString &objectName) { return window.findChild<QWidget *>(objectName); };
    auto button = [child](const QString &objectName) -> QPushButton * {
        QWidget *found = child(objectName);
        auto *pushButton = qobject_cast<QPushButton *>(found);
        if (found && !pushButton)
            refuse(QStringLiteral("'%1' is not a push button").arg(objectName));
        return pushButton;
    };
    auto version = [&window] { return window.findChild<QLabel *>(QStringLiteral("lbVersion"))->text(); };
    vorla::WheelSession &session = window.wheelSession();
    auto ready = [&session] {
        return session.state() == vorla::WheelSession::State::Ready && !session.transferRunning();
    };

    if (name == QLatin1String("pick"))
        return [&answerer, button, value] {
            if (QPushButton *led = button(value.section(QLatin1Char(':'), 0, 0))) {
                answerer.chooseColor(QColor(value.section(QLatin1Char(':'), 1)));
                led->click();
            }
            return true;
        };
    if (name == QLatin1String("click"))
        return [button, value] {
            if (QPushButton *pressed = button(value))
                pressed->click();
            return true;
        };
    if (name == QLatin1String("bite"))
        return [&window, value] {
            return window.findChild<QSlider *>(QStringLiteral("hsBite"))->setValue(value.toInt()), true;
        };
    if (name == QLatin1String("pixel"))
        return [child, value] {
            if (QWidget *shown = child(value)) {
                const QImage image = shown->grab().toImage();
                say(QStringLiteral("pixel %1 %2").arg(value, image.pixelColor(image.rect().center()).name()));
            }
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
        return [&window, part, version, ready, value, started] {
            if (!*started) {
                *started = true;
                window.upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(50));
                qobject_cast<QLineEdit *>(part(QStringLiteral("lePath")))->setText(value);
                qobject_cast<QPushButton *>(part(QStringLiteral("pbUpgrade")))->click();
                return false;
            }
            if (!ready() || part(QStringLiteral("pgUpgrade"))->isVisible())
                return false;
            say(QStringLiteral("version: %1").arg(version()));
            return true;
        };
    }
    if (name == QLatin1String("away"))
        return [part] {
            if (!part(QStringLiteral("disconnectedBanner"))->isVisible())
                return false;
            say(QStringLiteral("away"));
            return true;
        };
    if (name == QLatin1String("back"))
        return [part, version, ready] {
            if (part(QStringLiteral("disconnectedBanner"))->isVisible() || !ready())
                return false;
            say(QStringLiteral("version: %1").arg(version()));
            return true;
        };
    return {};
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
        // Every step is known before the window reads the wheel.
        std::vector<std::function<bool()>> script;
        for (const QString &step : steps) {
            script.push_back(makeStep(step, window, answerer));
            if (!script.back()) {
                std::fprintf(stderr, "e2e driver: unknown step '%s'\n", qPrintable(step));
                return 2;
            }
        }
        QTimer runner;
        // The runner's state lives as long as the event loop that runs it.
        int next = -1; // -1: the start-up read
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
                while (next < int(script.size())) {
                    const bool done = script[std::size_t(next)]();
                    if (refused)
                        return;
                    if (!done) {
                        runner.start();
                        return;
                    }
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
        std::printf("box: %s %s/%s\n", qPrintable(box.kind), qPrintable(box.title), qPrintable(box.text));
    return result;
}
