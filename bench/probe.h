#pragma once
// What the benchmark's child processes share: a monotonic clock the parent
// reads too, the first-paint watch, and the line commands the parent sends on
// standard input. A child prints one line per event on standard output.

#include <QByteArray>
#include <QStringList>

#include <functional>

class QApplication;
class QWidget;

namespace bench {

// CLOCK_MONOTONIC in nanoseconds: the same clock in every process.
qint64 monotonicNs();

// Prints one line on standard output, at once.
void say(const QByteArray &line);

// The start-up child: runs `app` with `window` shown, prints "paint <ns>"
// once the window's first paint is on screen (flushed), then
//   with "--exit" among args: quits;
//   else waits for lines on standard input: "visit" runs visitPages and
//   prints "visited", "quit" quits.
int runStartupChild(QApplication &app, QWidget *window, const QStringList &args,
                    const std::function<void()> &visitPages);

// Runs the event loop for `ms` milliseconds.
void spin(int ms);

} // namespace bench
