// The hidapi functions the program calls, answered by the simulated wheel.

#include "sim/WheelModel.h"
#include "sim/WheelReports.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

using sim::model;
using sim::receive;
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
    ++model().lookups;
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
    return receive(dev, ReportKind::Output, data, length,
                   [&](WheelModel &m) { return m.output(dev, data, length); });
}

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device *dev, const unsigned char *data, size_t length)
{
    return receive(dev, ReportKind::FeatureSend, data, length,
                   [&](WheelModel &m) { return m.featureSend(dev, data, length); });
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device *dev, unsigned char *data, size_t length)
{
    return receive(dev, ReportKind::FeatureGet, data, length,
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
