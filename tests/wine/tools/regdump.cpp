// Prints a branch of HKEY_LOCAL_MACHINE in the form the tests compare: each
// key as [path] in enumeration order, then its values as "name" type bytes.
//   regdump.exe PATH
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

static void Dump(const std::string &path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    std::printf("[%s]\n", path.c_str());
    std::vector<char> name(32768);
    std::vector<BYTE> data(1 << 20);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type;
        if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS)
            break;
        std::printf("\"%s\" %lu ", name.data(), type);
        for (DWORD b = 0; b < dataSize; ++b)
            std::printf(b ? ",%02x" : "%02x", data[b]);
        std::printf("\n");
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.push_back(name.data());
    }
    RegCloseKey(key);
    for (const std::string &subkey : subkeys)
        Dump(path + "\\" + subkey);
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: regdump PATH\n");
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    Dump(argv[1]);
    return 0;
}
