// The watcher that comes with the simulated wheel: the wheel says itself when
// it is plugged in or pulled out, on whichever thread did it; the news is
// posted to the watcher's own thread.

#include "device/DeviceWatcher.h"
#include "sim/SimWheel.h"

namespace {

class SimWatcher : public vorla::DeviceWatcher
{
public:
    explicit SimWatcher(QObject *parent)
        : DeviceWatcher(parent)
    {
        sim::setPresenceListener([this](bool present) {
            QMetaObject::invokeMethod(this, [this, present] {
                if (present)
                    emit wheelArrived();
                else
                    emit wheelLeft();
            }, Qt::QueuedConnection);
        });
    }

    ~SimWatcher() override { sim::setPresenceListener({}); }
};

} // namespace

namespace vorla {

DeviceWatcher *createDeviceWatcher(QObject *parent)
{
    return new SimWatcher(parent);
}

} // namespace vorla
