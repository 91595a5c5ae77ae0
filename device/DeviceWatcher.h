#pragma once
// Tells when the wheel is plugged in or pulled out while the program runs.
// How it finds out depends on the platform and on which hidapi the program is
// linked with, so the watcher is an interface, and each hidapi implementation
// brings the createDeviceWatcher() that fits it:
//   the system's hidapi on Linux    a udev monitor on the hidraw subsystem
//                                   (no wake-ups while nothing happens);
//   the system's hidapi on Windows  the system's device notifications for
//                                   HID interfaces (no wake-ups either);
//   the system's hidapi elsewhere,  enumeration about once a second, only
//   or where those cannot be had    while the wheel is away;
//   the simulated wheel           its own plug and unplug notices.
// Signals are delivered on the thread the watcher lives in. The watcher never
// touches the connection; what to do about a change is the wheel session's
// call (device/WheelSession.h).

#include <QObject>

namespace vorla {

class DeviceWatcher : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether the session waits for the wheel to come back. A watcher that must
    // look for the wheel itself looks only while it is away.
    virtual void setWheelAway(bool away) { Q_UNUSED(away) }

signals:
    // A wheel node appeared (it may not be openable at once: the access list
    // can lag the node).
    void wheelArrived();
    // A wheel node went away.
    void wheelLeft();
};

// The watcher for the hidapi this program is linked with.
DeviceWatcher *createDeviceWatcher(QObject *parent);

} // namespace vorla
