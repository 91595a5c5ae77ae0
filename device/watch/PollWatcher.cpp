#include "device/watch/PollWatcher.h"

#include "device/connection.h"

namespace vorla {

namespace {
constexpr int kPollIntervalMs = 1000;
}

PollWatcher::PollWatcher(QObject *parent)
    : DeviceWatcher(parent)
{
    timer.setInterval(kPollIntervalMs);
    connect(&timer, &QTimer::timeout, this, &PollWatcher::look);
}

void PollWatcher::setWheelAway(bool away)
{
    if (away)
        timer.start();
    else
        timer.stop();
}

void PollWatcher::look()
{
    if (connection::wheelPresent())
        emit wheelArrived();
}

} // namespace vorla
