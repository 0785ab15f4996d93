// A private Wine for the tests: its own prefix in a temporary folder, its own
// Xvfb display, and a way to run a program there while pressing Enter on
// each message box it shows, as a person would.
#ifndef PELLIKOR_TESTS_WINE_SESSION_H
#define PELLIKOR_TESTS_WINE_SESSION_H

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "process.h"

namespace test {

// The run's standard error, err, is Wine's relay trace.
struct WineRun : ProcessResult {
    bool timedOut = false;
};

class WineSession {
public:
    // Makes the prefix and starts the display; throws std::runtime_error.
    WineSession();
    ~WineSession();
    WineSession(const WineSession &) = delete;
    WineSession &operator=(const WineSession &) = delete;

    // Runs a Windows program (a Linux path) with its arguments under the
    // relay trace of MessageBoxA and MessageBeep, pressing Enter while a box
    // is open, and kills it after timeoutSeconds.
    WineRun run(const std::vector<std::string> &args, int timeoutSeconds);
    // Imports a REGEDIT4 file with Wine's regedit.
    void importRegistry(const std::string &regFile);

    static std::string WindowsPath(const std::string &linuxPath);
    const TempDir &dir() const { return dir_; }

private:
    std::map<std::string, std::string> environment(const std::string &debug) const;

    TempDir dir_;
    std::string display_;
    std::unique_ptr<Process> xvfb_;
};

}  // namespace test

#endif
