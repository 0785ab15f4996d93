// Start-up of the host build: the same steps as the Windows entry, over the
// stand-in platform, with the registry loaded from and saved to a .reg file.
//
// Environment:
//   PELLIKOR_REGISTRY      the .reg file (default: registry.reg here)
//   PELLIKOR_EVENTS        a file to append each beep and box to, one a line
//   PELLIKOR_COMMAND_LINE  the raw command line, instead of one made from the
//                          arguments (for lines no shell can pass)
//   PELLIKOR_DENY_OPEN     keys below HKEY_LOCAL_MACHINE, separated by ';',
//                          that refuse to open
//   PELLIKOR_CALL_LOG      a file to append every registry call to
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "../src/startup/command_tail.h"
#include "command_line.h"
#include "console_ui.h"
#include "platform.h"
#include "registry_file.h"

namespace {

enum ExitStatus { kCannotLoad = 2, kCannotSave = 3 };

std::string Environment(const char *name, const char *fallback = "")
{
    const char *value = std::getenv(name);
    return value ? value : fallback;
}

std::set<std::string> Split(const std::string &list, char separator)
{
    std::set<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(separator, start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            items.insert(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

// Stands for the module's instance handle, which nothing reads.
char g_moduleHandle;

}  // namespace

int main(int argc, char **argv)
{
    const char *rawOverride = std::getenv("PELLIKOR_COMMAND_LINE");
    std::string raw = rawOverride ? rawOverride : host::RawCommandLine(argc, argv);
    std::vector<char> commandLine(raw.begin(), raw.end());
    commandLine.push_back('\0');

    try {
        host::RegistryFile file(Environment("PELLIKOR_REGISTRY", "registry.reg"));
        host::ConsoleUi ui(stdout, isatty(STDIN_FILENO) != 0, Environment("PELLIKOR_EVENTS"));

        std::string callLogPath = Environment("PELLIKOR_CALL_LOG");
        std::unique_ptr<std::FILE, int (*)(std::FILE *)> callLog(
            callLogPath.empty() ? nullptr : std::fopen(callLogPath.c_str(), "a"), &std::fclose);
        if (!callLogPath.empty() && !callLog)
            throw host::LoadError(callLogPath + ": cannot open the call log");

        host::Platform platform(file.registry(), ui, Split(Environment("PELLIKOR_DENY_OPEN"), ';'),
                                callLog.get());
        host::ActivePlatform active(platform);

        int status = WinMain(reinterpret_cast<HINSTANCE>(&g_moduleHandle), nullptr,
                             CommandTail(commandLine.data()), SW_SHOWDEFAULT);

        if (platform.openKeys() != 0)
            std::fprintf(stderr, "pellikor: %zu registry keys were left open\n", platform.openKeys());
        if (platform.changed())
            file.save();
        // The system takes the registry's memory back at once, far faster
        // than freeing a large one key by key; the lock goes with the process.
        std::fflush(nullptr);
        std::_Exit(status);
    } catch (const host::SaveError &e) {
        std::fprintf(stderr, "pellikor: %s\n", e.what());
        return kCannotSave;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "pellikor: %s\n", e.what());
        return kCannotLoad;
    }
}
