// The watcher that comes with the system's hidapi.

#include "device/DeviceWatcher.h"
#include "device/watch/PollWatcher.h"

#ifdef VORLA_HAVE_UDEV
#include "device/watch/UdevWatcher.h"
#endif
#ifdef _WIN32
#include "device/watch/WinWatcher.h"
#endif

namespace vorla {

DeviceWatcher *createDeviceWatcher(QObject *parent)
{
#ifdef VORLA_HAVE_UDEV
    if (DeviceWatcher *watcher = UdevWatcher::create(parent))
        return watcher;
#endif
#ifdef _WIN32
    if (DeviceWatcher *watcher = WinWatcher::create(parent))
        return watcher;
#endif
    return new PollWatcher(parent);
}

} // namespace vorla
