#pragma once
// The one connection to the wheel. The program holds a single hidapi handle;
// the GUI thread and the firmware worker both send on it, and hidapi allows a
// handle to be used by one thread at a time only, so every hidapi call made
// here is serialised by one lock. Senders that find no open handle send
// nothing and get -1, like a failed hidapi call; so do senders while another
// instance of the program upgrades the wheel (device/upgradelock.h).

#include "device/protocol.h"

#include <cstddef>
#include <cstdint>

namespace vorla::connection {

enum class OpenResult {
    Opened,           // a handle is held
    NoDevice,         // no wheel is plugged in
    PermissionDenied, // a wheel is plugged in, but this user may not open it
};

// Initialises hidapi and opens the first wheel (kVendorId, kProductId) that
// enumeration finds, by its path; where the wheel shows several HID
// interfaces (Windows: one per top-level collection), the first that answers
// the version query. A handle already held is closed first. Where hidapi
// cannot start, there is no wheel.
OpenResult open();

// Whether enumeration finds a wheel now (opened or not).
bool wheelPresent();

// True while a handle is held.
bool isOpen();

// Closes the handle; the handle is null afterwards. Harmless without one.
void close();

// close(), then hid_exit(): for the end of the program.
void shutdown();

// hid_send_feature_report on the handle: bytes sent, or -1.
int sendFeatureReport(const std::uint8_t *data, std::size_t length);
inline int sendFeatureReport(const Report &report) { return sendFeatureReport(report.data(), report.size()); }

// Sends a feature report and reads the answer into `response` (response[0]
// must hold the report id) without another caller's report in between.
// Returns the bytes read, or -1 when either call failed.
int exchangeFeatureReport(const std::uint8_t *request, std::size_t requestLength,
                          std::uint8_t *response, std::size_t responseLength);

// hid_write (an output report) on the handle: bytes written, or -1.
int write(const std::uint8_t *data, std::size_t length);
inline int write(const Report &report) { return write(report.data(), report.size()); }

} // namespace vorla::connection
