#include "device/connection.h"

#include <hidapi.h>

#include <cerrno>
#include <mutex>

namespace vorla::connection {
namespace {

std::mutex handleMutex;
hid_device *deviceHandle = nullptr; // guarded by handleMutex

void closeLocked()
{
    if (deviceHandle) {
        hid_close(deviceHandle);
        deviceHandle = nullptr;
    }
}

} // namespace

OpenResult open()
{
    std::lock_guard<std::mutex> lock(handleMutex);
    closeLocked();
    hid_init();
    hid_device_info *const wheels = hid_enumerate(kVendorId, kProductId);
    bool denied = false;
    for (const hid_device_info *wheel = wheels; wheel && !deviceHandle; wheel = wheel->next) {
        errno = 0;
        deviceHandle = hid_open_path(wheel->path);
        // The node is there but refused us: the user lacks the udev rule's
        // access (or it has not been applied yet).
        const int why = errno;
        if (!deviceHandle && (why == EACCES || why == EPERM))
            denied = true;
    }
    hid_free_enumeration(wheels);
    if (deviceHandle)
        return OpenResult::Opened;
    return denied ? OpenResult::PermissionDenied : OpenResult::NoDevice;
}

bool wheelPresent()
{
    hid_init();
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
    std::lock_guard<std::mutex> lock(handleMutex);
    return deviceHandle ? hid_send_feature_report(deviceHandle, data, length) : -1;
}

int exchangeFeatureReport(const std::uint8_t *request, std::size_t requestLength,
                          std::uint8_t *response, std::size_t responseLength)
{
    std::lock_guard<std::mutex> lock(handleMutex);
    if (!deviceHandle || hid_send_feature_report(deviceHandle, request, requestLength) < 0)
        return -1;
    return hid_get_feature_report(deviceHandle, response, responseLength);
}

int write(const std::uint8_t *data, std::size_t length)
{
    std::lock_guard<std::mutex> lock(handleMutex);
    return deviceHandle ? hid_write(deviceHandle, data, length) : -1;
}

} // namespace vorla::connection
