#include "device/watch/UdevWatcher.h"

#include "device/protocol.h"

#include <QSocketNotifier>

#include <libudev.h>

#include <cstdio>
#include <cstring>

namespace vorla {

namespace {

const char kSubsystem[] = "hidraw";

QString nodeOf(udev_device *device)
{
    const char *node = udev_device_get_devnode(device);
    return node ? QString::fromLocal8Bit(node) : QString();
}

} // namespace

UdevWatcher *UdevWatcher::create(QObject *parent)
{
    udev *context = udev_new();
    if (!context)
        return nullptr;
    udev_monitor *monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, kSubsystem, nullptr) < 0
        || udev_monitor_enable_receiving(monitor) < 0 || udev_monitor_get_fd(monitor) < 0) {
        if (monitor)
            udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return new UdevWatcher(context, monitor, parent);
}

UdevWatcher::UdevWatcher(udev *context, udev_monitor *monitor, QObject *parent)
    : DeviceWatcher(parent)
    , udevContext(context)
    , monitor(monitor)
    , notifier(new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this))
{
    // The wheels already there, so that their removal is recognised.
    if (udev_enumerate *enumerate = udev_enumerate_new(udevContext)) {
        udev_enumerate_add_match_subsystem(enumerate, kSubsystem);
        udev_enumerate_scan_devices(enumerate);
        udev_list_entry *entry;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
        {
            if (udev_device *device = udev_device_new_from_syspath(udevContext, udev_list_entry_get_name(entry))) {
                if (isWheel(device))
                    wheelNodes.insert(nodeOf(device));
                udev_device_unref(device);
            }
        }
        udev_enumerate_unref(enumerate);
    }
    connect(notifier, &QSocketNotifier::activated, this, &UdevWatcher::receive);
}

UdevWatcher::~UdevWatcher()
{
    delete notifier;
    udev_monitor_unref(monitor);
    udev_unref(udevContext);
}

bool UdevWatcher::isWheel(udev_device *hidraw)
{
    udev_device *hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    const char *id = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
    // HID_ID is "bus:vendor:product", each in hex: "0003:0000C872:00002007".
    unsigned bus = 0, vendor = 0, product = 0;
    return id && std::sscanf(id, "%x:%x:%x", &bus, &vendor, &product) == 3 && vendor == kVendorId
           && product == kProductId;
}

void UdevWatcher::receive()
{
    udev_device *device = udev_monitor_receive_device(monitor);
    if (!device)
        return;
    const char *action = udev_device_get_action(device);
    const QString node = nodeOf(device);
    if (action && std::strcmp(action, "add") == 0 && isWheel(device)) {
        wheelNodes.insert(node);
        emit wheelArrived();
    } else if (action && std::strcmp(action, "remove") == 0 && wheelNodes.remove(node)) {
        emit wheelLeft();
    }
    udev_device_unref(device);
}

} // namespace vorla
