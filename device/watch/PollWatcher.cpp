#include "device/watch/PollWatcher.h"

#include "device/connection.h"

namespace vorla {

namespace {
constexpr int kPollIntervalMs = 1000;
}

PollWatcher::PollWatcher(QObject *parent)
    : DeviceWatcher(parent)
{
    m_timer.setInterval(kPollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PollWatcher::look);
}

void PollWatcher::setWheelAway(bool away)
{
    if (away)
        m_timer.start();
    else
        m_timer.stop();
}

void PollWatcher::look()
{
    if (connection::wheelPresent())
        emit wheelArrived();
}

} // namespace vorla
