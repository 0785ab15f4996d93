// The process-wide state that the Windows calls of the host build act on:
// the registry, the table of open key handles, and the user interface.
#ifndef PELLIKOR_HOST_PLATFORM_H
#define PELLIKOR_HOST_PLATFORM_H

#include <windows.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "console_ui.h"
#include "registry.h"

namespace host {

class Platform {
public:
    // deniedPaths: keys below HKEY_LOCAL_MACHINE ("Enum\\SCSI\\X") that refuse
    // to open, as keys without access rights do; callLog: where to trace
    // every registry call, or null.
    Platform(Registry &registry, ConsoleUi &ui, const std::set<std::string> &deniedPaths, std::FILE *callLog);
    ~Platform();
    Platform(const Platform &) = delete;
    Platform &operator=(const Platform &) = delete;

    LONG openKey(HKEY parent, LPCSTR path, REGSAM access, PHKEY result);
    LONG enumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR className,
                 LPDWORD classSize, PFILETIME lastWrite);
    LONG enumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD dataSize);
    LONG setValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size);
    LONG closeKey(HKEY key);

    ConsoleUi &ui() { return ui_; }
    bool changed() const { return changed_; }
    std::size_t openKeys() const { return handles_.size(); }

private:
    struct OpenKey {
        Key *key;
        std::string path;  // from the root, with the names as stored
        REGSAM access;
    };
    OpenKey *lookUp(HKEY handle);
    void trace(const char *format, ...);

    Registry &registry_;
    ConsoleUi &ui_;
    std::set<std::string, FoldedLess> denied_;  // full paths
    std::FILE *callLog_;
    std::map<HKEY, OpenKey> handles_;
    std::uintptr_t nextHandle_ = 0x100;
    bool changed_ = false;
};

// Makes platform the one behind the Windows calls while this lives.
class ActivePlatform {
public:
    explicit ActivePlatform(Platform &platform);
    ~ActivePlatform();
    ActivePlatform(const ActivePlatform &) = delete;
    ActivePlatform &operator=(const ActivePlatform &) = delete;
};

}  // namespace host

#endif
