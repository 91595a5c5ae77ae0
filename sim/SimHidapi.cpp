// The hidapi functions the program calls, answered by the simulated wheel.

#include "sim/WheelModel.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

using sim::model;
using sim::ReportKind;
using sim::WheelModel;

namespace {

std::wstring openError; // hid_error(nullptr); guarded by the model's mutex

// The one path the simulated wheel enumerates under.
constexpr const char *kWheelPath = "sim:z-arc";

// Opens the wheel if it can be; sets errno like an open(2) of its node would.
hid_device *openWheel(WheelModel &m)
{
    if (!m.availableLocked()) {
        openError = L"the wheel is not connected";
        errno = ENOENT;
        return nullptr;
    }
    if (m.permissionDenied) {
        openError = L"Permission denied";
        errno = EACCES;
        return nullptr;
    }
    ++m.opens;
    auto *dev = new hid_device;
    dev->generation = m.generation;
    openError.clear();
    return dev;
}

// Common path of every report: overlap check, latency, record, faults, then
// `handle` for the wheel's own answer.
template <typename Handle>
int report(hid_device *dev, ReportKind kind, const unsigned char *data, std::size_t length, Handle handle)
{
    if (!dev)
        return -1;
    struct InFlight {
        hid_device *dev;
        bool overlapped;
        explicit InFlight(hid_device *d) : dev(d), overlapped(d->callsInFlight.fetch_add(1) > 0) {}
        ~InFlight() { dev->callsInFlight.fetch_sub(1); }
    } inFlight(dev);

    std::chrono::microseconds latency;
    {
        std::lock_guard<std::mutex> lock(model().mutex);
        latency = model().latency;
    }
    if (latency.count() > 0)
        std::this_thread::sleep_for(latency);

    std::lock_guard<std::mutex> lock(model().mutex);
    WheelModel &m = model();
    const int call = ++m.calls;
    m.record.push_back({kind, std::vector<std::uint8_t>(data, data + length), std::this_thread::get_id(), false});
    const std::size_t index = m.record.size() - 1;

    if (inFlight.overlapped)
        m.violate(dev, "the handle was used from two threads at once");
    if (call == m.vanishAt) {
        m.setPresentLocked(false);
        if (m.returnAfterVanish.count() >= 0)
            m.scheduleLocked(sim::Clock::now() + m.returnAfterVanish, sim::PlugEvent::Plug);
    }
    if (dev->generation != m.generation || !m.availableLocked())
        return m.fail(dev, "the wheel is not connected");
    if (call == m.failAt || (m.failOnwards && m.failAt > 0 && call >= m.failAt))
        return m.fail(dev, "the report did not go through");

    const int result = handle(m);
    m.record[index].accepted = result >= 0;
    if (result >= 0)
        dev->error.clear();
    return result;
}

} // namespace

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void)
{
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_exit(void)
{
    return 0;
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open(unsigned short vendor_id, unsigned short product_id,
                                                 const wchar_t *)
{
    std::lock_guard<std::mutex> lock(model().mutex);
    if (vendor_id != vorla::kVendorId || product_id != vorla::kProductId) {
        openError = L"no such device";
        errno = ENOENT;
        return nullptr;
    }
    return openWheel(model());
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open_path(const char *path)
{
    std::lock_guard<std::mutex> lock(model().mutex);
    if (!path || std::strcmp(path, kWheelPath) != 0) {
        openError = L"no such device";
        errno = ENOENT;
        return nullptr;
    }
    return openWheel(model());
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    std::lock_guard<std::mutex> lock(model().mutex);
    const bool matches = (vendor_id == 0 || vendor_id == vorla::kVendorId)
                         && (product_id == 0 || product_id == vorla::kProductId);
    // A wheel that refuses the open is still listed, as its node would be.
    if (!matches || !model().availableLocked())
        return nullptr;
    auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
    info->path = strdup(kWheelPath);
    info->vendor_id = vorla::kVendorId;
    info->product_id = vorla::kProductId;
    info->bus_type = HID_API_BUS_USB;
    return info;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        std::free(devs->path);
        std::free(devs);
        devs = next;
    }
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device *dev)
{
    if (dev) {
        std::lock_guard<std::mutex> lock(model().mutex);
        if (dev->generation == model().generation)
            model().resetStreamsLocked(); // the host let go: a half-sent image or block is dropped
    }
    delete dev;
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    return report(dev, ReportKind::Output, data, length,
                  [&](WheelModel &m) { return m.output(dev, data, length); });
}

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device *dev, const unsigned char *data, size_t length)
{
    return report(dev, ReportKind::FeatureSend, data, length,
                  [&](WheelModel &m) { return m.featureSend(dev, data, length); });
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device *dev, unsigned char *data, size_t length)
{
    return report(dev, ReportKind::FeatureGet, data, length,
                  [&](WheelModel &m) { return m.featureGet(dev, data, length); });
}

HID_API_EXPORT const wchar_t *HID_API_CALL hid_error(hid_device *dev)
{
    std::lock_guard<std::mutex> lock(model().mutex);
    if (!dev)
        return openError.empty() ? nullptr : openError.c_str();
    return dev->error.empty() ? nullptr : dev->error.c_str();
}

} // extern "C"
