/* A cfgmgr32.dll for the wheel tests' wine prefix only, never shipped: wine 8's
 * own lacks CM_Get_Device_Interface_PropertyW and only stubs the two
 * interface-list functions, so hidapi's Windows backend cannot start there.
 * These three are built on setupapi, which wine implements; every other export
 * is forwarded to setupapi (cfgmgr32.def). Only what hidapi asks for is done:
 * the present interfaces of a class, and an interface's instance id. */

#include <windows.h>
#include <setupapi.h>

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

typedef DWORD CONFIGRET;
#define CR_SUCCESS 0x00
#define CR_OUT_OF_MEMORY 0x02
#define CR_INVALID_POINTER 0x03
#define CR_NO_SUCH_VALUE 0x25
#define CR_BUFFER_SMALL 0x1A
#define CR_CALL_NOT_IMPLEMENTED 0x34
#define CR_NO_SUCH_DEVICE_INTERFACE 0x37
#define MAX_DEVICE_ID_LEN 200

/* DEVPKEY_Device_InstanceId, a DEVPROP_TYPE_STRING. */
static const DEVPROPKEY kInstanceId = {{0x78c34fc8, 0x104a, 0x4aca, {0x9e, 0xa4, 0x52, 0x4d, 0x52, 0x99, 0x6e, 0x57}}, 256};

/* An interface's detail (its path), and its device in `device` when given;
 * free() it. */
static SP_DEVICE_INTERFACE_DETAIL_DATA_W *interfaceDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA *entry,
                                                         SP_DEVINFO_DATA *device)
{
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, entry, NULL, 0, &size, NULL);
    SP_DEVICE_INTERFACE_DETAIL_DATA_W *detail = size ? malloc(size) : NULL;
    if (!detail)
        return NULL;
    detail->cbSize = sizeof *detail;
    if (!SetupDiGetDeviceInterfaceDetailW(set, entry, detail, size, NULL, device)) {
        free(detail);
        return NULL;
    }
    return detail;
}

/* The paths of the present interfaces of `guid`, each with its zero, into
 * `out` while they fit in `capacity`; returns the characters the whole list
 * takes, its final zero included. */
static ULONG interfaceList(const GUID *guid, WCHAR *out, ULONG capacity)
{
    ULONG used = 0;
    HDEVINFO set = SetupDiGetClassDevsW(guid, NULL, NULL, DIGCF_DEVICEINTERFACE | DIGCF_PRESENT);
    if (set != INVALID_HANDLE_VALUE) {
        SP_DEVICE_INTERFACE_DATA entry;
        memset(&entry, 0, sizeof entry);
        entry.cbSize = sizeof entry;
        for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, NULL, guid, i, &entry); ++i) {
            SP_DEVICE_INTERFACE_DETAIL_DATA_W *detail = interfaceDetail(set, &entry, NULL);
            if (!detail)
                continue;
            const ULONG length = (ULONG)wcslen(detail->DevicePath) + 1;
            if (out && used + length < capacity)
                memcpy(out + used, detail->DevicePath, length * sizeof(WCHAR));
            used += length;
            free(detail);
        }
        SetupDiDestroyDeviceInfoList(set);
    }
    if (out && used < capacity)
        out[used] = L'\0';
    return used + 1;
}

CONFIGRET WINAPI CM_Get_Device_Interface_List_SizeW(PULONG length, LPGUID guid, WCHAR *device, ULONG flags)
{
    (void)flags;
    if (!length || !guid)
        return CR_INVALID_POINTER;
    if (device)
        return CR_CALL_NOT_IMPLEMENTED;
    *length = interfaceList(guid, NULL, 0);
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Device_Interface_ListW(LPGUID guid, WCHAR *device, WCHAR *buffer, ULONG length, ULONG flags)
{
    (void)flags;
    if (!guid || !buffer || !length)
        return CR_INVALID_POINTER;
    if (device)
        return CR_CALL_NOT_IMPLEMENTED;
    return interfaceList(guid, buffer, length) <= length ? CR_SUCCESS : CR_BUFFER_SMALL;
}

CONFIGRET WINAPI CM_Get_Device_Interface_PropertyW(LPCWSTR path, const DEVPROPKEY *key, DEVPROPTYPE *type,
                                                   PBYTE buffer, PULONG size, ULONG flags)
{
    (void)flags;
    if (!path || !key || !type || !size)
        return CR_INVALID_POINTER;
    if (memcmp(key, &kInstanceId, sizeof kInstanceId) != 0)
        return CR_NO_SUCH_VALUE;

    HDEVINFO set = SetupDiCreateDeviceInfoList(NULL, NULL);
    if (set == INVALID_HANDLE_VALUE)
        return CR_OUT_OF_MEMORY;
    CONFIGRET result = CR_NO_SUCH_DEVICE_INTERFACE;
    SP_DEVICE_INTERFACE_DATA entry;
    memset(&entry, 0, sizeof entry);
    entry.cbSize = sizeof entry;
    SP_DEVINFO_DATA device;
    memset(&device, 0, sizeof device);
    device.cbSize = sizeof device;
    SP_DEVICE_INTERFACE_DETAIL_DATA_W *detail = NULL;
    WCHAR id[MAX_DEVICE_ID_LEN];
    if (SetupDiOpenDeviceInterfaceW(set, path, 0, &entry) && (detail = interfaceDetail(set, &entry, &device))
        && SetupDiGetDeviceInstanceIdW(set, &device, id, MAX_DEVICE_ID_LEN, NULL)) {
        const ULONG needed = (ULONG)((wcslen(id) + 1) * sizeof(WCHAR));
        *type = DEVPROP_TYPE_STRING;
        if (!buffer || *size < needed) {
            result = CR_BUFFER_SMALL;
        } else {
            memcpy(buffer, id, needed);
            result = CR_SUCCESS;
        }
        *size = needed;
    }
    free(detail);
    SetupDiDestroyDeviceInfoList(set);
    return result;
}
