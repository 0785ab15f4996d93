// The Windows calls of the host build, forwarded to the active platform.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform.h"

namespace {

// The one platform of the process, as Windows has one registry and one
// desktop per process.
host::Platform *g_platform = nullptr;

host::Platform &Active()
{
    if (!g_platform) {
        std::fputs("pellikor: a Windows call was made with no host platform active\n", stderr);
        std::abort();
    }
    return *g_platform;
}

}  // namespace

namespace host {

ActivePlatform::ActivePlatform(Platform &platform)
{
    g_platform = &platform;
}

ActivePlatform::~ActivePlatform()
{
    g_platform = nullptr;
}

}  // namespace host

extern "C" {

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    return Active().openKey(hKey, lpSubKey, samDesired, phkResult);
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPSTR lpClass,
                   LPDWORD lpcchClass, PFILETIME lpftLastWriteTime)
{
    return Active().enumKey(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass, lpftLastWriteTime);
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    return Active().enumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType, lpData, lpcbData);
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE *lpData, DWORD cbData)
{
    return Active().setValue(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}

LONG RegCloseKey(HKEY hKey)
{
    return Active().closeKey(hKey);
}

int MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    Active().ui().messageBox(lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType);
    return 1;  // IDOK: the box has only the OK button
}

BOOL MessageBeep(UINT uType)
{
    Active().ui().beep(uType);
    return TRUE;
}

int _strnicmp(const char *a, const char *b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        int ca = static_cast<unsigned char>(a[i]);
        int cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z')
            cb += 'a' - 'A';
        if (ca != cb || ca == 0)
            return ca - cb;
    }
    return 0;
}

}  // extern "C"
