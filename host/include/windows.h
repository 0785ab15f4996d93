/*
 * The host build's stand-in for the Windows platform header: the types,
 * constants and calls that Pellikor uses, declared from what the program
 * expects of them. The calls are implemented over an in-memory registry
 * and the terminal (see ../win32_api.cpp).
 */
#ifndef PELLIKOR_HOST_WINDOWS_H
#define PELLIKOR_HOST_WINDOWS_H

#include <stddef.h>
#include <stdint.h>

#define WINAPI

typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef int BOOL;
typedef unsigned char BYTE;
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef DWORD *LPDWORD;
typedef BYTE *LPBYTE;
typedef DWORD REGSAM;

typedef struct HKEY__ *HKEY;
typedef HKEY *PHKEY;
typedef struct HINSTANCE__ *HINSTANCE;
typedef struct HWND__ *HWND;

typedef struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME;

#define FALSE 0
#define TRUE 1

#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)

#define KEY_ALL_ACCESS 0x000F003Fu

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_MULTI_SZ 7u

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L

#define MB_OK 0x00000000u
#define MB_ICONHAND 0x00000010u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_SETFOREGROUND 0x00010000u

#define SW_SHOWDEFAULT 10

#ifdef __cplusplus
extern "C" {
#endif

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE *lpData,
                    DWORD cbData);
LONG RegCloseKey(HKEY hKey);

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
BOOL MessageBeep(UINT uType);

/* Windows' C library has this beside strncmp; glibc does not. ASCII letters only are folded. */
int _strnicmp(const char *a, const char *b, size_t count);

int WINAPI WinMain(HINSTANCE hCurInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

#ifdef __cplusplus
}
#endif

#endif
