#include "device/watch/WinWatcher.h"

#include "device/protocol.h"

#include <windows.h>
// After windows.h: it needs its types.
#include <dbt.h>

namespace vorla {

namespace {

// The HID device interface class, {4D1E55B2-F16F-11CF-88CB-001111000030}.
const GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

const wchar_t kWindowClass[] = L"VorlaSettingDeviceWatcher";

LRESULT CALLBACK watcherProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE && (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
        const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(lParam);
        auto *watcher = reinterpret_cast<WinWatcher *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (watcher && header && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
            const auto *broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(header);
            watcher->deviceChanged(wParam == DBT_DEVICEARRIVAL,
                                   QString::fromWCharArray(broadcast->dbcc_name));
        }
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

WinWatcher *WinWatcher::create(QObject *parent)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = watcherProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    // A second watcher finds the class registered already.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    const HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!window)
        return nullptr;

    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kHidInterfaceClass;
    const HDEVNOTIFY notification = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!notification) {
        DestroyWindow(window);
        return nullptr;
    }
    return new WinWatcher(window, notification, parent);
}

WinWatcher::WinWatcher(void *window, void *notification, QObject *parent)
    : DeviceWatcher(parent)
    , window(window)
    , notification(notification)
{
    SetWindowLongPtrW(static_cast<HWND>(window), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinWatcher::~WinWatcher()
{
    UnregisterDeviceNotification(static_cast<HDEVNOTIFY>(notification));
    SetWindowLongPtrW(static_cast<HWND>(window), GWLP_USERDATA, 0);
    DestroyWindow(static_cast<HWND>(window));
}

bool WinWatcher::isWheelPath(const QString &path)
{
    // \\?\HID#VID_C872&PID_2007&Col01#...: the ids in hex, any letter case.
    const QString ids = QStringLiteral("VID_%1&PID_%2")
                            .arg(kVendorId, 4, 16, QLatin1Char('0'))
                            .arg(kProductId, 4, 16, QLatin1Char('0'));
    return path.contains(ids, Qt::CaseInsensitive);
}

void WinWatcher::deviceChanged(bool arrived, const QString &path)
{
    if (!isWheelPath(path))
        return;
    if (arrived)
        emit wheelArrived();
    else
        emit wheelLeft();
}

} // namespace vorla
