// The hidapi functions the program calls, answered by the simulated wheel.

#include "sim/WheelModel.h"
#include "sim/WheelReports.h"

using sim::model;
using sim::receive;
using sim::ReportKind;
using sim::WheelModel;

namespace {

std::wstring openError; // hid_error(nullptr); guarded by the model's mutex

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
    WheelModel &m = model();
    if (vendor_id != vorla::kVendorId || product_id != vorla::kProductId) {
        openError = L"no such device";
        return nullptr;
    }
    if (!m.availableLocked()) {
        openError = L"the wheel is not connected";
        return nullptr;
    }
    ++m.opens;
    auto *dev = new hid_device;
    dev->generation = m.generation;
    openError.clear();
    return dev;
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
