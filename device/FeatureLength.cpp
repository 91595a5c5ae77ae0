#include "device/FeatureLength.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h: the HID headers use its types. MinGW's declare their
// functions without C linkage for C++.
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <string>
#endif

namespace vorla {

#ifdef _WIN32

std::size_t featureReportLength(const char *path)
{
    // hidapi's paths are the interface's wide path in UTF-8.
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    if (wideLength <= 0)
        return 0;
    std::wstring widePath(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path, -1, widePath.data(), wideLength);
    // No access asked: the capabilities can be read even where the device
    // itself may not be opened for reading and writing.
    const HANDLE device = CreateFileW(widePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return 0;
    std::size_t length = 0;
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (HidD_GetPreparsedData(device, &preparsed)) {
        HIDP_CAPS caps{};
        if (HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS)
            length = caps.FeatureReportByteLength;
        HidD_FreePreparsedData(preparsed);
    }
    CloseHandle(device);
    return length;
}

#else

std::size_t featureReportLength(const char *)
{
    return 0;
}

#endif

} // namespace vorla
