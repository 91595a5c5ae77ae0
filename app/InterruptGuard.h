#pragma once
// Holds off the requests to end the program while it lives: Ctrl+C and
// SIGTERM on Linux, Ctrl+C and Ctrl+Break in a Windows console. Each is told
// through interrupted(), on the guard's thread, and the program goes on. The
// command line keeps one while the wheel takes a firmware image, which must
// not stop halfway. One guard at a time; what the signals did before comes
// back when it goes.

#include <QObject>

class InterruptGuard : public QObject
{
    Q_OBJECT

public:
    explicit InterruptGuard(QObject *parent = nullptr);
    ~InterruptGuard() override;

signals:
    void interrupted();

private:
    struct Private;
    Private *d;
};
