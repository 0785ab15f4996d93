// Fuzzes the command path: the start-up rule and the program's keyword
// handling, on any raw command line, over a small registry. A run either
// returns 0 or ends through exit(1) after the usage alert with the registry
// untouched; every key it opens is closed.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The module itself, so that its trace flag can be reset between inputs:
// a real process starts with it clear.
#include "../src/Pellikor.cpp"

#include "command_tail.h"
#include "console_ui.h"
#include "platform.h"
#include "reg_file.h"

namespace {

std::jmp_buf g_exited;
bool g_inWinMain = false;

const char kRegistry[] =
    "REGEDIT4\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\MNO_____TAPE_DRIVE______3\\0001]\r\n"
    "\"DMACurrentlyUsed\"=hex:00\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_____CD-ROM_DRIVE:28D\\0001]\r\n"
    "\"DMACurrentlyUsed\"=hex:00\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_____CD-ROM_DRIVE:28D\\0002]\r\n"
    "\"Other\"=dword:00000001\r\n";

}  // namespace

extern "C" void __real_exit(int status);

// The program's exit(1) comes back here; libFuzzer's own exits go on.
extern "C" void __wrap_exit(int status)
{
    if (g_inWinMain)
        std::longjmp(g_exited, status + 1);
    __real_exit(status);
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    std::vector<char> line(data, data + size);
    line.push_back('\0');  // a command line ends at its first NUL

    static std::FILE *screen = std::fopen("/dev/null", "w");
    host::Registry registry = host::ReadRegFile(kRegistry);
    host::ConsoleUi ui(screen, false, "");
    host::Platform platform(registry, ui, {}, nullptr);
    host::ActivePlatform active(platform);

    verbose = 0;
    char *tail = CommandTail(line.data());
    if (tail < line.data() || tail > line.data() + line.size() - 1)
        std::abort();

    int exited = setjmp(g_exited);
    if (exited == 0) {
        g_inWinMain = true;
        int status = WinMain(nullptr, nullptr, tail, SW_SHOWDEFAULT);
        g_inWinMain = false;
        if (status != 0)
            std::abort();
    } else {
        g_inWinMain = false;
        if (exited != 2 || platform.changed())  // exit(1), nothing written
            std::abort();
    }
    if (platform.openKeys() != 0)
        std::abort();
    return 0;
}
