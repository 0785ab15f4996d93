#include "wine_session.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <unistd.h>

#include "registry_dump.h"

namespace test {

namespace {

// The 64-bit loader: it starts 64-bit programs itself and 32-bit ones
// through the 32-bit loader.
const char kWine[] = "/usr/lib/wine/wine64";
const char kWineServer[] = "/usr/lib/wine/wineserver64";

const char kSettings[] =
    "REGEDIT4\r\n\r\n"
    "; Boxes close at once without a window manager.\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"
    "\"Managed\"=\"N\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\r\n"
    "\"RelayInclude\"=\"user32.MessageBoxA;user32.MessageBeep\"\r\n";

std::size_t Count(const std::string &text, const std::string &what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

void Check(const ProcessResult &result, const std::string &what)
{
    if (result.status != 0)
        throw std::runtime_error(what + " failed with status " + std::to_string(result.status) + ": " + result.err);
}

}  // namespace

WineSession::WineSession()
{
    // A display number no other server holds.
    for (int n = 90 + getpid() % 50;; ++n) {
        if (n > 400)
            throw std::runtime_error("no free X display number");
        if (std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
            continue;
        display_ = ":" + std::to_string(n);
        break;
    }
    xvfb_ = std::make_unique<Process>(
        std::vector<std::string>{"/usr/bin/Xvfb", display_, "-screen", "0", "800x600x24", "-nolisten", "tcp"},
        std::map<std::string, std::string>{});
    const std::string socket = "/tmp/.X11-unix/X" + display_.substr(1);
    for (int i = 0; !std::filesystem::exists(socket); ++i) {
        if (i > 100 || !xvfb_->running())
            throw std::runtime_error("Xvfb did not start on " + display_);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    // One server for the whole session, so that each run starts quickly.
    std::filesystem::create_directory(dir_ / "prefix");
    Check(RunProcess({kWineServer, "-p"}, environment("-all")), "wineserver -p");
    Check(RunProcess({kWine, "wineboot", "-i"}, environment("-all")), "wineboot");
    WriteFile(dir_ / "settings.reg", kSettings);
    importRegistry(dir_ / "settings.reg");
}

WineSession::~WineSession()
{
    RunProcess({kWineServer, "-k"}, environment("-all"));
    xvfb_->kill();
}

std::map<std::string, std::string> WineSession::environment(const std::string &debug) const
{
    return {
        {"WINEPREFIX", dir_ / "prefix"},
        {"WINEDEBUG", debug},
        {"DISPLAY", display_},
        {"LC_ALL", "C.UTF-8"},  // the ANSI code page 1252
        {"WINEDLLOVERRIDES", "mscoree,mshtml="},
    };
}

std::string WineSession::WindowsPath(const std::string &linuxPath)
{
    std::string path = "Z:" + linuxPath;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void WineSession::importRegistry(const std::string &regFile)
{
    Check(RunProcess({kWine, "regedit", "/s", WindowsPath(regFile)}, environment("-all")), "regedit " + regFile);
}

WineRun WineSession::run(const std::vector<std::string> &args, int timeoutSeconds)
{
    const std::string trace = dir_ / "trace.txt";
    std::vector<std::string> argv = {kWine};
    argv.insert(argv.end(), args.begin(), args.end());
    Process process(argv, environment("+pid,+relay"), trace);

    WineRun run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (process.running()) {
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            process.kill();
            break;
        }
        // A box is open from its Call line until its Ret line. Its window
        // appears a little after the Call line, so Enter is pressed again
        // until the box is gone.
        std::string text = ReadFile(trace);
        if (Count(text, ":Call user32.MessageBoxA(") > Count(text, ":Ret  user32.MessageBoxA("))
            RunProcess({"/usr/bin/xdotool", "key", "Return"}, {{"DISPLAY", display_}});
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    static_cast<ProcessResult &>(run) = process.wait();
    return run;
}

}  // namespace test
