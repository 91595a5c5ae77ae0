// The hidapi functions the program calls, answered by the simulated wheel.

#include "sim/WheelModel.h"

#include <thread>

using sim::model;
using sim::ReportKind;
using sim::WheelModel;

namespace {

std::wstring openError; // hid_error(nullptr); guarded by the model's mutex

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
    if (call == m.vanishAt)
        m.unplugLocked();
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
