/*
 * Pellikor: switches DMA on or off for one SCSI-attached CD-ROM drive
 * by editing the registry.
 *
 *   Pellikor ON|OFF [/V]
 *
 * /V traces every stage of the registry walk in message boxes.
 */
#include <windows.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char g_Buffer[1024];
static char s_Buffer[1024];
static char keyName[300];
static char verbose = 0;
static char copyright[44] = "Pellikor r1.0 (C) 2026 the Pellikor authors";

static void EnableScsiCdRomDma(int newSetting, const char *cdNameToFind)
{
    char valueToFind[] = "DMACurrentlyUsed";
    unsigned char newValueData;
    DWORD dwType;
    FILETIME notUsed;
    DWORD keySize;
    DWORD indexA;
    DWORD indexB;
    BOOL keyFound;
    HKEY newHKey;
    HKEY pciHKey;

    newValueData = (newSetting == 1) ? 1 : 0;

    strcpy(g_Buffer, "Enum\\SCSI");
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, g_Buffer, 0, KEY_ALL_ACCESS, &newHKey) != 0)
        return;

    keyFound = FALSE;
    if (verbose)
        MessageBoxA(NULL, "Enum\\SCSI Open", "VERBOSE - A", MB_SETFOREGROUND);

    for (indexA = 0;; indexA++) {
        keySize = sizeof(keyName) - 1;
        if (RegEnumKeyExA(newHKey, indexA, keyName, &keySize, NULL, NULL, NULL, &notUsed) != 0)
            break;
        if (verbose)
            MessageBoxA(NULL, keyName, "VERBOSE - A", MB_SETFOREGROUND);
        if (_strnicmp(keyName, cdNameToFind, strlen(cdNameToFind)) == 0) {
            if (verbose)
                MessageBoxA(NULL, keyName, "VERBOSE - FOUND KEY", MB_SETFOREGROUND);
            keyFound = TRUE;
            break;
        }
    }
    RegCloseKey(newHKey);

    if (!keyFound)
        return;

    /* keyName still holds the device key's name: the loop left right after the match. */
    strcat(g_Buffer, "\\");
    strcat(g_Buffer, keyName);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, g_Buffer, 0, KEY_ALL_ACCESS, &newHKey) != 0)
        return;

    for (indexA = 0;; indexA++) {
        keySize = sizeof(keyName) - 1;
        if (RegEnumKeyExA(newHKey, indexA, keyName, &keySize, NULL, NULL, NULL, &notUsed) != 0)
            break;
        if (verbose)
            MessageBoxA(NULL, keyName, "VERBOSE - B - Found PCI/PNP KEY", MB_SETFOREGROUND);

        strcpy(s_Buffer, g_Buffer);
        strcat(s_Buffer, "\\");
        strcat(s_Buffer, keyName);
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, s_Buffer, 0, KEY_ALL_ACCESS, &pciHKey) != 0)
            continue;

        /* The value names overwrite keyName; indexA alone carries the walk on. */
        for (indexB = 0;; indexB++) {
            keySize = sizeof(keyName) - 1;
            if (RegEnumValueA(pciHKey, indexB, keyName, &keySize, NULL, &dwType, NULL, NULL) != 0)
                break;
            if (_strnicmp(keyName, valueToFind, strlen(valueToFind)) == 0) {
                if (verbose)
                    MessageBoxA(NULL, keyName, "VERBOSE - D - PROCESSING DMA SWITCH", MB_SETFOREGROUND);
                RegSetValueExA(pciHKey, valueToFind, 0, dwType, &newValueData, 1);
                break;
            }
        }
        RegCloseKey(pciHKey);
    }
    RegCloseKey(newHKey);
}

int WINAPI WinMain(HINSTANCE hCurInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    char tStr[1 + 255 + 1];
    char *tStrPtr;
    char *pSwitch;
    int newSwitchSetting;

    (void)hCurInstance;
    (void)hPrevInstance;
    (void)nCmdShow;

    newSwitchSetting = 0;

    /* The leading blank lets a keyword that stands first be found like any other. */
    tStr[0] = ' ';
    strncpy(tStr + 1, lpCmdLine, 255);
    tStr[256] = '\0';

    for (tStrPtr = tStr; *tStrPtr != '\0'; tStrPtr++)
        if (*tStrPtr >= 'a' && *tStrPtr <= 'z')
            *tStrPtr = (char)toupper((unsigned char)*tStrPtr);

    pSwitch = strstr(tStr, " ON");
    if (pSwitch != NULL) {
        newSwitchSetting = 1;
    } else {
        pSwitch = strstr(tStr, " OFF");
    }

    if (strstr(tStr, " /V") != NULL)
        verbose = 1;

    if (pSwitch == NULL) {
        MessageBeep(MB_ICONASTERISK);
        MessageBoxA(NULL, "            USAGE:\n\nPellikor  ON/OFF  [/V]\n", copyright,
                    MB_SETFOREGROUND | MB_ICONHAND);
        exit(1);
    }

    if (verbose) {
        char message[256];

        sprintf(message, "%s\nGoing To Set DMACurrentlyUsed To %s\n", copyright,
                newSwitchSetting == 1 ? "ON" : "OFF");
        MessageBeep(MB_OK);
        MessageBoxA(NULL, message, copyright, MB_SETFOREGROUND | MB_ICONINFORMATION);
    }

    EnableScsiCdRomDma(newSwitchSetting, "NEC_____CD-ROM_DRIVE:28D");

    return 0;
}
