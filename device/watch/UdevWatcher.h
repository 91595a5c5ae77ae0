#pragma once
// Linux: a udev monitor on the hidraw subsystem, read when its socket has an
// event, so the program stays asleep while nothing is plugged or pulled.
// A hidraw node counts as the wheel when its HID parent carries the wheel's
// vendor and product; a removal is recognised by the node's name, since the
// parent is gone by then.

#include "device/DeviceWatcher.h"

#include <QSet>
#include <QString>

struct udev;
struct udev_monitor;
struct udev_device;
class QSocketNotifier;

namespace vorla {

class UdevWatcher : public DeviceWatcher
{
    Q_OBJECT

public:
    // Null when no udev monitor can be had here.
    static UdevWatcher *create(QObject *parent);
    ~UdevWatcher() override;

private:
    UdevWatcher(udev *context, udev_monitor *monitor, QObject *parent);
    void receive();
    static bool isWheel(udev_device *hidraw);

    udev *udevContext;
    udev_monitor *monitor;
    QSocketNotifier *notifier;
    QSet<QString> wheelNodes; // the wheels' hidraw nodes now present
};

} // namespace vorla
