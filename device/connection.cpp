#include "device/connection.h"

#include "device/FeatureLength.h"
#include "device/query.h"
#include "device/upgradelock.h"

#include <hidapi.h>

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

namespace vorla::connection {
namespace {

std::mutex handleMutex;
hid_device *deviceHandle = nullptr;   // guarded by handleMutex
std::size_t featureLength = 0;        // the open wheel's, 0 for "any"; guarded too

void closeLocked()
{
    if (deviceHandle) {
        hid_close(deviceHandle);
        deviceHandle = nullptr;
    }
    featureLength = 0;
}

// A failed hid_open_path: was the wheel there but refused to this user?
bool openWasRefused(int errorNumber)
{
#ifdef _WIN32
    (void)errorNumber;
    // The Windows backend sets no errno; its message carries the system's
    // error code: access denied, or another program holding the wheel alone.
    const wchar_t *const message = hid_error(nullptr);
    return message && (std::wcsstr(message, L"(0x00000005)") || std::wcsstr(message, L"(0x00000020)"));
#else
    // Linux: the user lacks the udev rule's access (or it is not applied yet).
    return errorNumber == EACCES || errorNumber == EPERM;
#endif
}

// hid_get_feature_report into a buffer as long as the wheel's feature report
// where the platform wants that; `response` gets at most `length` bytes.
int readFeatureLocked(std::uint8_t *response, std::size_t length)
{
    if (featureLength <= length)
        return hid_get_feature_report(deviceHandle, response, length);
    std::vector<std::uint8_t> buffer(featureLength, 0);
    buffer[0] = response[0];
    const int read = hid_get_feature_report(deviceHandle, buffer.data(), buffer.size());
    if (read < 0)
        return read;
    const std::size_t kept = std::min(static_cast<std::size_t>(read), length);
    std::copy_n(buffer.begin(), kept, response);
    return static_cast<int>(kept);
}

// Whether the open handle is the wheel's settings interface: it answers the
// version query. Asked only when the wheel shows several HID interfaces
// (Windows gives each top-level collection a path of its own).
bool answersQueryLocked()
{
    if (upgradelock::heldElsewhere())
        return false;
    const Report request = queryReport(kSelectorVersion);
    if (hid_send_feature_report(deviceHandle, request.data(), request.size()) < 0)
        return false;
    Report response{};
    response[0] = kFeatureReportId;
    return readFeatureLocked(response.data(), response.size()) > static_cast<int>(kResponseVersionOffset);
}

} // namespace

OpenResult open()
{
    std::lock_guard<std::mutex> lock(handleMutex);
    closeLocked();
    // Where hidapi cannot start at all, no wheel can be reached.
    if (hid_init() < 0)
        return OpenResult::NoDevice;
    hid_device_info *const wheels = hid_enumerate(kVendorId, kProductId);
    std::vector<std::string> paths;
    // One interface per path: hidapi lists a Linux hidraw node once for each
    // top-level collection, every time under the node's one path.
    for (const hid_device_info *wheel = wheels; wheel; wheel = wheel->next)
        if (std::find(paths.begin(), paths.end(), wheel->path) == paths.end())
            paths.emplace_back(wheel->path);
    hid_free_enumeration(wheels);

    bool denied = false;
    for (const std::string &path : paths) {
        errno = 0;
        deviceHandle = hid_open_path(path.c_str());
        if (!deviceHandle) {
            denied = denied || openWasRefused(errno);
            continue;
        }
        featureLength = featureReportLength(path.c_str());
        if (paths.size() == 1 || answersQueryLocked())
            return OpenResult::Opened;
        closeLocked();
    }
    return denied ? OpenResult::PermissionDenied : OpenResult::NoDevice;
}

bool wheelPresent()
{
    if (hid_init() < 0)
        return false;
    hid_device_info *const wheels = hid_enumerate(kVendorId, kProductId);
    hid_free_enumeration(wheels);
    return wheels != nullptr;
}

bool isOpen()
{
    std::lock_guard<std::mutex> lock(handleMutex);
    return deviceHandle != nullptr;
}

void close()
{
    std::lock_guard<std::mutex> lock(handleMutex);
    closeLocked();
}

void shutdown()
{
    std::lock_guard<std::mutex> lock(handleMutex);
    closeLocked();
    hid_exit();
}

int sendFeatureReport(const std::uint8_t *data, std::size_t length)
{
    if (upgradelock::heldElsewhere())
        return -1;
    std::lock_guard<std::mutex> lock(handleMutex);
    return deviceHandle ? hid_send_feature_report(deviceHandle, data, length) : -1;
}

int exchangeFeatureReport(const std::uint8_t *request, std::size_t requestLength,
                          std::uint8_t *response, std::size_t responseLength)
{
    if (upgradelock::heldElsewhere())
        return -1;
    std::lock_guard<std::mutex> lock(handleMutex);
    if (!deviceHandle || hid_send_feature_report(deviceHandle, request, requestLength) < 0)
        return -1;
    return readFeatureLocked(response, responseLength);
}

int write(const std::uint8_t *data, std::size_t length)
{
    if (upgradelock::heldElsewhere())
        return -1;
    std::lock_guard<std::mutex> lock(handleMutex);
    return deviceHandle ? hid_write(deviceHandle, data, length) : -1;
}

} // namespace vorla::connection
