// The hidapi functions the program calls, answered by the simulated wheel.

#include "sim/WheelModel.h"
#include "sim/WheelReports.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

using sim::model;
using sim::receive;
using sim::ReportKind;
using sim::WheelModel;

namespace {

std::wstring openError; // hid_error(nullptr); guarded by the model's mutex

// The path the simulated wheel enumerates under; with several collections,
// each has its own: "sim:z-arc&col01", "sim:z-arc&col02", ...
constexpr const char *kWheelPath = "sim:z-arc";

std::string collectionPath(int collection, int collections)
{
    if (collections == 1)
        return kWheelPath;
    return std::string(kWheelPath) + "&col0" + std::to_string(collection);
}

// The collection (1 ...) a path names, or 0.
int collectionOf(const char *path, int collections)
{
    for (int collection = 1; path && collection <= collections; ++collection) {
        if (collectionPath(collection, collections) == path)
            return collection;
    }
    return 0;
}

// Opens the wheel if it can be; sets errno like an open(2) of its node would.
hid_device *openWheel(WheelModel &m, int collection)
{
    if (!m.availableLocked()) {
        openError = L"the wheel is not connected";
        errno = ENOENT;
        return nullptr;
    }
    if (m.permissionDenied) {
#ifdef _WIN32
        // As hidapi's Windows backend words a refused open.
        openError = L"open_device: (0x00000005) Access is denied.";
#else
        openError = L"Permission denied";
#endif
        errno = EACCES;
        return nullptr;
    }
    ++m.opens;
    auto *dev = new hid_device;
    dev->generation = m.generation;
    dev->settingsCollection = collection == m.collections;
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
    return openWheel(model(), model().collections);
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open_path(const char *path)
{
    std::lock_guard<std::mutex> lock(model().mutex);
    const int collection = collectionOf(path, model().collections);
    if (collection == 0) {
        openError = L"no such device";
        errno = ENOENT;
        return nullptr;
    }
    return openWheel(model(), collection);
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
    hid_device_info *first = nullptr;
    for (int collection = model().collections; collection >= 1; --collection) {
        auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
        info->path = strdup(collectionPath(collection, model().collections).c_str());
        info->vendor_id = vorla::kVendorId;
        info->product_id = vorla::kProductId;
        info->bus_type = HID_API_BUS_USB;
        info->next = first;
        first = info;
    }
    return first;
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
