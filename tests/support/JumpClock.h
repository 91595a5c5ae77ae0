#pragma once
// A session clock on which every wait is over at once: a call falls due in
// the next turn of the event loop, and the clock then reads the time it was
// due. For code that runs its own event loop (the command line), where a
// test cannot move a clock by hand.

#include "device/SessionClock.h"

#include <QObject>
#include <QTimer>

class JumpClock : public vorla::SessionClock
{
public:
    std::chrono::milliseconds now() const override { return time; }
    void callIn(std::chrono::milliseconds after, std::function<void()> call) override
    {
        due = std::move(call);
        dueAt = time + after;
        const int mine = ++calls;
        QTimer::singleShot(0, &context, [this, mine] {
            if (mine != calls || !due)
                return; // cancelled, or replaced by a later call
            time = dueAt;
            const std::function<void()> call = std::move(due);
            due = nullptr;
            call();
        });
    }
    void cancel() override { due = nullptr; }
    bool pending() const override { return bool(due); }

private:
    QObject context;
    std::chrono::milliseconds time{0};
    std::chrono::milliseconds dueAt{0};
    std::function<void()> due;
    int calls = 0;
};
