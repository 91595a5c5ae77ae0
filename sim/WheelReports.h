#pragma once
// What happens to every report the simulated wheel receives, shared by the
// hidapi functions and the test bed that answers on an emulated hidraw node.

#include "sim/WheelModel.h"

#include <thread>

namespace sim {

// Common path of every report, whichever interface it arrived through (the
// hidapi functions or an emulated device node): overlap check, latency,
// record, faults, then `handle` for the wheel's own answer.
template <typename Handle>
int receive(hid_device *dev, ReportKind kind, const unsigned char *data, std::size_t length, Handle handle)
{
    if (!dev)
        return -1;
    if (!dev->settingsCollection) {
        // Another top-level collection of the wheel: its reports are not these.
        std::lock_guard<std::mutex> lock(model().mutex);
        return model().fail(dev, "no such report in this collection");
    }
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
            m.scheduleLocked(Clock::now() + m.returnAfterVanish, PlugEvent::Plug);
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

} // namespace sim
