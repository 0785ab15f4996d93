#include "platform.h"

#include <cstdarg>
#include <cstring>

namespace host {

namespace {

const char kLocalMachine[] = "HKEY_LOCAL_MACHINE";
const REGSAM kKeySetValue = 0x0002;

// Copies a name and its terminator when both fit in size characters.
LONG CopyName(const std::string &from, LPSTR to, LPDWORD size)
{
    if (from.size() + 1 > *size)
        return ERROR_MORE_DATA;
    std::memcpy(to, from.c_str(), from.size() + 1);
    *size = static_cast<DWORD>(from.size());
    return ERROR_SUCCESS;
}

}  // namespace

Platform::Platform(Registry &registry, ConsoleUi &ui, const std::set<std::string> &deniedPaths,
                   std::FILE *callLog)
    : registry_(registry), ui_(ui), callLog_(callLog)
{
    for (const std::string &path : deniedPaths)
        denied_.insert(std::string(kLocalMachine) + "\\" + path);
}

Platform::~Platform() = default;

void Platform::trace(const char *format, ...)
{
    if (!callLog_)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(callLog_, format, args);
    va_end(args);
    std::fputc('\n', callLog_);
    std::fflush(callLog_);
}

Platform::OpenKey *Platform::lookUp(HKEY handle)
{
    auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : &it->second;
}

LONG Platform::openKey(HKEY parent, LPCSTR path, REGSAM access, PHKEY result)
{
    LONG status = ERROR_SUCCESS;
    std::string fullPath;
    Key *key = nullptr;
    if (parent == HKEY_LOCAL_MACHINE) {
        fullPath = kLocalMachine;
        key = &registry_.root(kLocalMachine);
    } else if (OpenKey *open = lookUp(parent)) {
        fullPath = open->path;
        key = open->key;
    } else {
        status = ERROR_INVALID_HANDLE;
    }
    if (!result)
        status = ERROR_INVALID_PARAMETER;

    std::string_view rest = path ? path : "";
    while (status == ERROR_SUCCESS && !rest.empty()) {
        std::size_t slash = rest.find('\\');
        key = key->findSubkey(rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (!key)
            status = ERROR_FILE_NOT_FOUND;
        else
            fullPath += "\\" + key->name();
    }
    if (status == ERROR_SUCCESS && denied_.count(fullPath))
        status = ERROR_ACCESS_DENIED;

    HKEY handle = nullptr;
    if (status == ERROR_SUCCESS) {
        handle = reinterpret_cast<HKEY>(nextHandle_++);
        handles_[handle] = OpenKey{key, fullPath, access};
        *result = handle;
    }
    trace("RegOpenKeyExA(%s,\"%s\",%08x) = %ld %p", parent == HKEY_LOCAL_MACHINE ? "HKLM" : "key",
          path ? path : "", static_cast<unsigned>(access), static_cast<long>(status),
          static_cast<void *>(handle));
    return status;
}

LONG Platform::enumKey(HKEY handle, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                       LPSTR className, LPDWORD classSize, PFILETIME lastWrite)
{
    OpenKey *open = lookUp(handle);
    DWORD sizeIn = nameSize ? *nameSize : 0;
    LONG status = ERROR_SUCCESS;
    const Key *subkey = nullptr;
    if (!open)
        status = ERROR_INVALID_HANDLE;
    else if (!name || !nameSize || reserved)
        status = ERROR_INVALID_PARAMETER;
    else if (!(subkey = open->key->subkeyAt(index)))
        status = ERROR_NO_MORE_ITEMS;
    else
        status = CopyName(subkey->name(), name, nameSize);

    if (status == ERROR_SUCCESS) {
        if (className && classSize && *classSize > 0)
            className[0] = '\0';
        if (classSize)
            *classSize = 0;
        if (lastWrite)
            *lastWrite = FILETIME{0, 0};
    }
    trace("RegEnumKeyExA(%p,%u,%u) = %ld \"%s\"", static_cast<void *>(handle), static_cast<unsigned>(index),
          static_cast<unsigned>(sizeIn), static_cast<long>(status), status == ERROR_SUCCESS ? name : "");
    return status;
}

LONG Platform::enumValue(HKEY handle, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                         LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    OpenKey *open = lookUp(handle);
    DWORD sizeIn = nameSize ? *nameSize : 0;
    LONG status = ERROR_SUCCESS;
    const Value *value = nullptr;
    if (!open)
        status = ERROR_INVALID_HANDLE;
    else if (!name || !nameSize || reserved || (data && !dataSize))
        status = ERROR_INVALID_PARAMETER;
    else if (!(value = open->key->valueAt(index)))
        status = ERROR_NO_MORE_ITEMS;
    else
        status = CopyName(value->name, name, nameSize);

    if (status == ERROR_SUCCESS) {
        if (type)
            *type = value->type;
        if (dataSize) {
            DWORD room = *dataSize;
            *dataSize = static_cast<DWORD>(value->data.size());
            if (data && room < value->data.size())
                status = ERROR_MORE_DATA;
            else if (data && !value->data.empty())
                std::memcpy(data, value->data.data(), value->data.size());
        }
    }
    trace("RegEnumValueA(%p,%u,%u) = %ld \"%s\" type %u", static_cast<void *>(handle),
          static_cast<unsigned>(index), static_cast<unsigned>(sizeIn), static_cast<long>(status),
          value ? name : "", value ? static_cast<unsigned>(value->type) : 0u);
    return status;
}

LONG Platform::setValue(HKEY handle, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size)
{
    OpenKey *open = lookUp(handle);
    LONG status = ERROR_SUCCESS;
    if (!open)
        status = ERROR_INVALID_HANDLE;
    else if (reserved || (!data && size > 0))
        status = ERROR_INVALID_PARAMETER;
    else if (!(open->access & kKeySetValue))
        status = ERROR_ACCESS_DENIED;

    std::string bytes;
    for (DWORD i = 0; data && i < size; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i ? ",%02x" : "%02x", data[i]);
        bytes += hex;
    }
    trace("RegSetValueExA(%p,\"%s\",%u,%u,%s,%u) = %ld", static_cast<void *>(handle), name ? name : "",
          static_cast<unsigned>(reserved), static_cast<unsigned>(type), bytes.c_str(), static_cast<unsigned>(size),
          static_cast<long>(status));
    if (status != ERROR_SUCCESS)
        return status;

    open->key->setValue(name ? name : "", type, Bytes(data, data + size));
    registry_.ensureSection(*open->key, open->path);
    changed_ = true;
    return ERROR_SUCCESS;
}

LONG Platform::closeKey(HKEY handle)
{
    LONG status = ERROR_SUCCESS;
    if (handle != HKEY_LOCAL_MACHINE && handles_.erase(handle) == 0)
        status = ERROR_INVALID_HANDLE;
    trace("RegCloseKey(%p) = %ld", static_cast<void *>(handle), static_cast<long>(status));
    return status;
}

}  // namespace host
