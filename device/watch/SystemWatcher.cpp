// The watcher that comes with the system's hidapi.

#include "device/DeviceWatcher.h"
#include "device/watch/PollWatcher.h"

#ifdef VORLA_HAVE_UDEV
#include "device/watch/UdevWatcher.h"
#endif

namespace vorla {

DeviceWatcher *createDeviceWatcher(QObject *parent)
{
#ifdef VORLA_HAVE_UDEV
    if (DeviceWatcher *watcher = UdevWatcher::create(parent))
        return watcher;
#endif
    return new PollWatcher(parent);
}

} // namespace vorla
