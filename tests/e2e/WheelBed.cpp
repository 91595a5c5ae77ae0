#include "WheelBed.h"

#include "device/protocol.h"
#include "sim/WheelModel.h"
#include "sim/WheelReports.h"

#include <umockdev.h>

#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using sim::ReportKind;
using sim::WheelModel;

// The wheel's report descriptor: a vendor collection with the feature report
// (20 bytes with its id, or as long as the bed is told) and the 20-byte LED
// output report; with a joystick collection after it where asked.
QByteArray reportDescriptor(const WheelBed::Descriptor &descriptor)
{
    const char count = char(vorla::kReportSize - 1);
    const char featureCount = char(descriptor.featureLength - 1);
    const char vendor[] = {
        '\x06', '\x00', '\xFF',             // usage page (vendor 0xFF00)
        '\x09', '\x01',                     // usage 1
        '\xA1', '\x01',                     // collection (application)
        '\x85', char(vorla::kFeatureReportId), //   report id
        '\x09', '\x02',                     //   usage 2
        '\x15', '\x00', '\x26', '\xFF', '\x00', // logical 0-255
        '\x75', '\x08', '\x95', featureCount, //   bytes
        '\xB1', '\x02',                     //   feature (data, variable)
        '\x85', char(vorla::kLedReportId),  //   report id
        '\x09', '\x03',                     //   usage 3
        '\x95', count,                      //   bytes
        '\x91', '\x02',                     //   output (data, variable)
        '\xC0',                             // end collection
    };
    const char joystick[] = {
        '\x05', '\x01', '\x09', '\x04',     // generic desktop, joystick
        '\xA1', '\x01',                     // collection (application)
        '\x85', '\x04',                     //   report id 4
        '\x05', '\x09', '\x19', '\x01', '\x29', '\x08', // buttons 1-8
        '\x15', '\x00', '\x25', '\x01',     //   logical 0-1
        '\x75', '\x01', '\x95', '\x08',     //   8 bits
        '\x81', '\x02',                     //   input (data, variable)
        '\xC0',                             // end collection
    };
    QByteArray bytes(vendor, int(sizeof vendor));
    if (descriptor.joystick)
        bytes.append(joystick, int(sizeof joystick));
    return bytes;
}

constexpr int kHidrawMajor = 241;
constexpr auto kWatchInterval = std::chrono::milliseconds(5);

// The sysfs paths and names of one plugged-in life of the wheel.
struct Chain {
    int index = 0;
    QString usb, interface, hid, hidraw; // sysfs paths
    QString usbName, interfaceName, hidName, node;
};

Chain chainFor(int index)
{
    Chain c;
    c.index = index;
    c.usbName = QStringLiteral("1-%1").arg(index + 1);
    c.interfaceName = c.usbName + QStringLiteral(":1.0");
    c.hidName = QStringLiteral("0003:%1:%2.%3")
                    .arg(vorla::kVendorId, 4, 16, QLatin1Char('0'))
                    .arg(vorla::kProductId, 4, 16, QLatin1Char('0'))
                    .arg(index + 1, 4, 16, QLatin1Char('0'))
                    .toUpper();
    c.node = QStringLiteral("hidraw%1").arg(index);
    c.usb = QStringLiteral("/devices/pci0000:00/0000:00:14.0/usb1/") + c.usbName;
    c.interface = c.usb + QLatin1Char('/') + c.interfaceName;
    c.hid = c.interface + QLatin1Char('/') + c.hidName;
    c.hidraw = c.hid + QStringLiteral("/hidraw/") + c.node;
    return c;
}

// The chain in umockdev's record format.
QByteArray udevRecord(const Chain &c, const WheelBed::Descriptor &descriptor)
{
    const QString vendor = QStringLiteral("%1").arg(vorla::kVendorId, 4, 16, QLatin1Char('0'));
    const QString product = QStringLiteral("%1").arg(vorla::kProductId, 4, 16, QLatin1Char('0'));
    QString text;
    text += QStringLiteral("P: %1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n"
                           "A: idVendor=%2\nA: idProduct=%3\nA: manufacturer=Vorla\nA: product=Z-ARC\n"
                           "A: bcdDevice=0100\nA: busnum=1\nA: devnum=%4\n\n")
                .arg(c.usb, vendor, product)
                .arg(c.index + 2);
    text += QStringLiteral("P: %1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n"
                           "A: bInterfaceNumber=00\nA: bInterfaceClass=03\n\n")
                .arg(c.interface);
    text += QStringLiteral("P: %1\nE: SUBSYSTEM=hid\nE: HID_ID=0003:0000%2:0000%3\nE: HID_NAME=Vorla Z-ARC\n"
                           "E: HID_PHYS=usb-0000:00:14.0-%4/input0\nE: HID_UNIQ=\nH: report_descriptor=%5\n\n")
                .arg(c.hid, vendor.toUpper(), product.toUpper())
                .arg(c.index + 1)
                .arg(QString::fromLatin1(reportDescriptor(descriptor).toHex().toUpper()));
    text += QStringLiteral("P: %1\nN: %2\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/%2\nA: dev=%3:%4\n"
                           "L: device=../../../%5\n\n")
                .arg(c.hidraw, c.node)
                .arg(kHidrawMajor)
                .arg(c.index)
                .arg(c.hidName);
    return text.toUtf8();
}

} // namespace

struct WheelBed::Private {
    UMockdevTestbed *testbed = nullptr;
    WheelBed::Descriptor descriptor;
    std::vector<UMockdevIoctlBase *> handlers; // one per node ever plugged

    // The node; guarded by `mutex`, changed on the watcher thread only.
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool plugged = false;
    bool stopping = false;
    bool deny = false;
    int plugs = 0;
    Chain chain;
    std::thread watcher;

    // The connections to the nodes, one simulated handle each; touched on
    // umockdev's worker thread. umockdev's preload connects before the open
    // itself is decided, so a connection counts as an open of the wheel at
    // its first request (hidapi asks HIDIOCGRDESCSIZE right after opening).
    struct Client {
        std::unique_ptr<hid_device> dev;
        bool opened = false;
    };
    std::mutex clientsMutex;
    std::map<UMockdevIoctlClient *, Client> clients;

    QString rootDir; // the testbed's directory
    const QString &root() const { return rootDir; }
    void watch();
    void plugLocked();
    void unplugLocked();
    void applyPermissionLocked();
    hid_device *handleOf(UMockdevIoctlClient *client);
};

// --- the node's answers (umockdev's worker thread) --------------------------

namespace {

// A failed report: ENODEV when the wheel is gone for this handle, like the
// kernel's hidraw after a disconnect; EPIPE, the stall of a report the wheel
// refuses, for any other failure.
int failureErrno(hid_device *dev)
{
    std::lock_guard<std::mutex> lock(sim::model().mutex);
    WheelModel &m = sim::model();
    return dev->generation != m.generation || !m.availableLocked() ? ENODEV : EPIPE;
}

void complete(UMockdevIoctlClient *client, hid_device *dev, int result)
{
    umockdev_ioctl_client_complete(client, result, result < 0 ? failureErrno(dev) : 0);
}

gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer data)
{
    auto *d = static_cast<WheelBed::Private *>(data);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    GError *error = nullptr;

    if (!d->handleOf(client))
        return FALSE;
    if (request == HIDIOCGRDESCSIZE) {
        UMockdevIoctlData *size = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), &error);
        if (!size) {
            g_clear_error(&error);
            return FALSE;
        }
        int value = reportDescriptor(d->descriptor).size();
        umockdev_ioctl_data_update(size, 0, reinterpret_cast<guint8 *>(&value), int(sizeof value));
        umockdev_ioctl_client_complete(client, 0, 0);
        g_object_unref(size);
        return TRUE;
    }
    if (request == HIDIOCGRDESC) {
        UMockdevIoctlData *desc = umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_report_descriptor), &error);
        if (!desc) {
            g_clear_error(&error);
            return FALSE;
        }
        QByteArray bytes = reportDescriptor(d->descriptor);
        const quint32 size = quint32(bytes.size());
        umockdev_ioctl_data_update(desc, 0, reinterpret_cast<guint8 *>(const_cast<quint32 *>(&size)), int(sizeof size));
        umockdev_ioctl_data_update(desc, offsetof(hidraw_report_descriptor, value),
                                   reinterpret_cast<guint8 *>(bytes.data()), bytes.size());
        umockdev_ioctl_client_complete(client, 0, 0);
        g_object_unref(desc);
        return TRUE;
    }

    const bool setFeature = request == HIDIOCSFEATURE(_IOC_SIZE(request));
    const bool getFeature = request == HIDIOCGFEATURE(_IOC_SIZE(request));
    if (!setFeature && !getFeature)
        return FALSE; // umockdev answers ENOTTY, as the kernel would
    const std::size_t length = _IOC_SIZE(request);
    hid_device *dev = d->handleOf(client);
    UMockdevIoctlData *buffer = length ? umockdev_ioctl_data_resolve(arg, 0, length, &error) : nullptr;
    if (!dev || !buffer) {
        g_clear_error(&error);
        umockdev_ioctl_client_complete(client, -1, length ? EFAULT : EINVAL);
        if (buffer)
            g_object_unref(buffer);
        return TRUE;
    }
    std::vector<std::uint8_t> bytes(buffer->data, buffer->data + length);
    // A longer feature report carries the wheel's 20 bytes at its front: the
    // model sees those, the record what arrived.
    const std::size_t featureLength = std::size_t(d->descriptor.featureLength);
    const bool longer = featureLength > vorla::kReportSize;
    int result;
    if (setFeature) {
        const std::size_t meant = longer ? std::min(length, vorla::kReportSize) : length;
        result = sim::receive(dev, ReportKind::FeatureSend, bytes.data(), length,
                              [&](WheelModel &m) { return m.featureSend(dev, bytes.data(), meant); });
    } else {
        result = sim::receive(dev, ReportKind::FeatureGet, bytes.data(), length,
                              [&](WheelModel &m) { return m.featureGet(dev, bytes.data(), length); });
        if (result >= 0 && longer) {
            // The whole report, zeros after the answer, cut to the caller's buffer.
            std::fill(bytes.begin() + std::min(length, vorla::kReportSize), bytes.end(), 0);
            result = int(std::min(length, featureLength));
        }
        if (result >= 0)
            umockdev_ioctl_data_update(buffer, 0, bytes.data(), int(length));
    }
    complete(client, dev, result);
    g_object_unref(buffer);
    return TRUE;
}

gboolean onWrite(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer data)
{
    auto *d = static_cast<WheelBed::Private *>(data);
    hid_device *dev = d->handleOf(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    if (!dev) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return TRUE;
    }
    const std::vector<std::uint8_t> bytes(arg->data, arg->data + arg->data_len);
    const int result = sim::receive(dev, ReportKind::Output, bytes.data(), bytes.size(),
                                    [&](WheelModel &m) { return m.output(dev, bytes.data(), bytes.size()); });
    complete(client, dev, result);
    return TRUE;
}

void onConnected(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer data)
{
    auto *d = static_cast<WheelBed::Private *>(data);
    auto dev = std::make_unique<hid_device>();
    {
        std::lock_guard<std::mutex> lock(sim::model().mutex);
        dev->generation = sim::model().generation;
    }
    std::lock_guard<std::mutex> lock(d->clientsMutex);
    d->clients[client].dev = std::move(dev);
}

void onVanished(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer data)
{
    auto *d = static_cast<WheelBed::Private *>(data);
    std::unique_ptr<hid_device> dev;
    {
        std::lock_guard<std::mutex> lock(d->clientsMutex);
        auto found = d->clients.find(client);
        if (found == d->clients.end())
            return;
        dev = std::move(found->second.dev);
        d->clients.erase(found);
    }
    // The host let go: a half-sent image or block is dropped, as hid_close does.
    std::lock_guard<std::mutex> lock(sim::model().mutex);
    if (dev->generation == sim::model().generation)
        sim::model().resetStreamsLocked();
}

} // namespace

hid_device *WheelBed::Private::handleOf(UMockdevIoctlClient *client)
{
    std::lock_guard<std::mutex> lock(clientsMutex);
    auto found = clients.find(client);
    if (found == clients.end())
        return nullptr;
    if (!found->second.opened) {
        found->second.opened = true;
        std::lock_guard<std::mutex> modelLock(sim::model().mutex);
        ++sim::model().opens;
    }
    return found->second.dev.get();
}

// --- plugging (the watcher thread) ------------------------------------------

void WheelBed::Private::plugLocked()
{
    chain = chainFor(plugs++);
    GError *error = nullptr;
    // The answers first: adding the devices sends their "add" uevents, and a
    // process that opens the node at once (wine's device service does) must
    // find it answered.
    UMockdevIoctlBase *handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(onIoctl), this);
    g_signal_connect(handler, "handle-write", G_CALLBACK(onWrite), this);
    g_signal_connect(handler, "client-connected", G_CALLBACK(onConnected), this);
    g_signal_connect(handler, "client-vanished", G_CALLBACK(onVanished), this);
    const QByteArray node = ("/dev/" + chain.node).toUtf8();
    if (!umockdev_testbed_attach_ioctl(testbed, node.constData(), handler, &error)) {
        std::fprintf(stderr, "WheelBed: cannot answer on %s: %s\n", node.constData(), error->message);
        g_clear_error(&error);
    }
    handlers.push_back(handler);
    if (!umockdev_testbed_add_from_string(testbed, udevRecord(chain, descriptor).constData(), &error)) {
        std::fprintf(stderr, "WheelBed: cannot add the wheel: %s\n", error->message);
        g_clear_error(&error);
        return;
    }
    // Another user's preloaded process reaches the node's answers through this
    // socket; whether it may open the node is the node's own mode.
    ::chmod(QFile::encodeName(root() + QStringLiteral("/ioctl/dev/") + chain.node).constData(), 0666);
    applyPermissionLocked();
    plugged = true;
}

void WheelBed::Private::unplugLocked()
{
    for (const QString &path : {chain.hidraw, chain.hid, chain.interface, chain.usb})
        umockdev_testbed_uevent(testbed, ("/sys" + path).toUtf8().constData(), "remove");
    umockdev_testbed_remove_device(testbed, ("/sys" + chain.usb).toUtf8().constData());
    // umockdev leaves the links to the removed devices and the node itself.
    const QString r = root();
    for (const QString &link : {
             QStringLiteral("/sys/bus/usb/devices/") + chain.usbName,
             QStringLiteral("/sys/bus/usb/devices/") + chain.interfaceName,
             QStringLiteral("/sys/class/usb/") + chain.usbName,
             QStringLiteral("/sys/class/usb/") + chain.interfaceName,
             QStringLiteral("/sys/class/hid/") + chain.hidName,
             QStringLiteral("/sys/class/hidraw/") + chain.node,
             QStringLiteral("/sys/dev/char/%1:%2").arg(kHidrawMajor).arg(chain.index),
             QStringLiteral("/dev/.node/") + chain.node,
             QStringLiteral("/dev/") + chain.node,
         })
        ::unlink(QFile::encodeName(r + link).constData());
    plugged = false;
}

void WheelBed::Private::applyPermissionLocked()
{
    const QByteArray node = QFile::encodeName(root() + QStringLiteral("/dev/") + chain.node);
    // Root owns it either way; only the mode decides whether others may open it.
    if (::chown(node.constData(), 0, 0) != 0 && ::geteuid() == 0)
        std::perror("WheelBed: chown");
    ::chmod(node.constData(), deny ? 0600 : 0666);
}

void WheelBed::Private::watch()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        bool available;
        {
            std::lock_guard<std::mutex> modelLock(sim::model().mutex);
            available = sim::model().availableLocked();
        }
        if (available != plugged) {
            if (available)
                plugLocked();
            else
                unplugLocked();
            changed.notify_all();
        }
        changed.wait_for(lock, kWatchInterval);
    }
}

// --- control ------------------------------------------------------------------

WheelBed::WheelBed()
    : WheelBed(Descriptor())
{
}

WheelBed::WheelBed(Descriptor descriptor)
    : d(new Private)
{
    d->descriptor = descriptor;
    d->testbed = umockdev_testbed_new();
    gchar *root = umockdev_testbed_get_root_dir(d->testbed);
    d->rootDir = QString::fromUtf8(root);
    g_free(root);
    // Readable to an unprivileged user, for the permission case: the node's
    // own mode decides.
    ::chmod(QFile::encodeName(d->root()).constData(), 0755);
    d->watcher = std::thread([this] { d->watch(); });
    std::unique_lock<std::mutex> lock(d->mutex);
    bool available;
    {
        std::lock_guard<std::mutex> modelLock(sim::model().mutex);
        available = sim::model().availableLocked();
    }
    if (available)
        d->changed.wait(lock, [this] { return d->plugged; });
}

WheelBed::~WheelBed()
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = true;
        d->changed.notify_all();
    }
    d->watcher.join();
    g_object_unref(d->testbed); // removes the testbed's directory
    for (UMockdevIoctlBase *handler : d->handlers)
        g_object_unref(handler);
}

void WheelBed::reexecWithPreload(char **argv)
{
    static const char kTried[] = "VORLA_E2E_PRELOADED";
    if (qgetenv("LD_PRELOAD").contains("libumockdev-preload") || qEnvironmentVariableIsSet(kTried))
        return; // there, or tried once: preloadMissing() tells the tests
    QByteArray preload = "libumockdev-preload.so.0";
    if (!qEnvironmentVariableIsEmpty("LD_PRELOAD"))
        preload += ':' + qgetenv("LD_PRELOAD");
    QByteArray asan = qgetenv("ASAN_OPTIONS");
    asan += QByteArray(asan.isEmpty() ? "" : ":") + "verify_asan_link_order=0";
    qputenv("LD_PRELOAD", preload);
    qputenv("ASAN_OPTIONS", asan);
    qputenv(kTried, "1");
    ::execv("/proc/self/exe", argv);
    std::perror("WheelBed: cannot run again with umockdev's preload library");
}

QString WheelBed::preloadMissing()
{
    // umockdev tells by looking at /sys, which only a testbed redirects, and
    // keeps its first answer: ask with a testbed there.
    static const bool active = [] {
        UMockdevTestbed *probe = umockdev_testbed_new();
        const bool inside = umockdev_in_mock_environment();
        g_object_unref(probe);
        return inside;
    }();
    if (active)
        return QString();
    return QStringLiteral("umockdev's preload library is not active in this process "
                          "(LD_PRELOAD=libumockdev-preload.so.0 could not be used)");
}

void WheelBed::unplug()
{
    sim::setPresent(false);
    std::unique_lock<std::mutex> lock(d->mutex);
    d->changed.notify_all();
    d->changed.wait(lock, [this] { return !d->plugged; });
}

void WheelBed::replug()
{
    sim::setPresent(true);
    std::unique_lock<std::mutex> lock(d->mutex);
    d->changed.notify_all();
    d->changed.wait(lock, [this] { return d->plugged; });
}

bool WheelBed::plugged() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->plugged;
}

QString WheelBed::nodePath() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return QStringLiteral("/dev/") + d->chain.node;
}

int WheelBed::plugCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->plugs;
}

void WheelBed::denyPermission(bool deny)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->deny = deny;
    if (d->plugged)
        d->applyPermissionLocked();
}

QString WheelBed::rootDir() const
{
    return d->root();
}
