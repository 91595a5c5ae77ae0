#pragma once
// Time as the wheel session sees it: what time it is, and one call to be made
// later. The program runs on a steady clock and a Qt timer; a test hands the
// session a clock that it moves on itself, so that waits of seconds take none.

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <functional>

namespace vorla {

class SessionClock
{
public:
    virtual ~SessionClock() = default;

    // Time since some fixed start; never goes back.
    virtual std::chrono::milliseconds now() const = 0;
    // Calls `due` once, `after` from now, in place of any call still pending.
    virtual void callIn(std::chrono::milliseconds after, std::function<void()> due) = 0;
    // Drops the pending call, if there is one.
    virtual void cancel() = 0;
    virtual bool pending() const = 0;
};

// The program's clock: calls are made from the event loop of the thread that
// built it.
class TimerClock : public SessionClock
{
public:
    TimerClock();

    std::chrono::milliseconds now() const override;
    void callIn(std::chrono::milliseconds after, std::function<void()> due) override;
    void cancel() override;
    bool pending() const override { return timer.isActive(); }

private:
    QElapsedTimer started;
    QTimer timer;
    std::function<void()> due;
};

} // namespace vorla
