#pragma once
// Windows: the system tells a window of ours when a HID interface arrives or
// is removed (WM_DEVICECHANGE after RegisterDeviceNotification), so nothing is
// polled. The window is a message-only window owned by the watcher; Qt's event
// dispatcher delivers its messages whatever the platform plugin. A wheel shows
// one interface per top-level collection: each arrival or removal is told, and
// the session takes repeats in its stride.

#include "device/DeviceWatcher.h"

#include <QString>

namespace vorla {

class WinWatcher : public DeviceWatcher
{
    Q_OBJECT

public:
    // Null when the notification cannot be registered here.
    static WinWatcher *create(QObject *parent);
    ~WinWatcher() override;

    // Whether a device interface path (as in DEV_BROADCAST_DEVICEINTERFACE)
    // names an interface of the wheel.
    static bool isWheelPath(const QString &path);

    // Called by the window procedure.
    void deviceChanged(bool arrived, const QString &path);

private:
    WinWatcher(void *window, void *notification, QObject *parent);

    void *window;       // HWND
    void *notification; // HDEVNOTIFY
};

} // namespace vorla
