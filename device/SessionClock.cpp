#include "device/SessionClock.h"

namespace vorla {

TimerClock::TimerClock()
{
    started.start();
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [this] {
        // Taken out first: the call may well ask for the next one.
        const std::function<void()> call = std::move(due);
        due = nullptr;
        if (call)
            call();
    });
}

std::chrono::milliseconds TimerClock::now() const
{
    return std::chrono::milliseconds(started.elapsed());
}

void TimerClock::callIn(std::chrono::milliseconds after, std::function<void()> call)
{
    due = std::move(call);
    timer.start(int(after.count()));
}

void TimerClock::cancel()
{
    timer.stop();
    due = nullptr;
}

} // namespace vorla
