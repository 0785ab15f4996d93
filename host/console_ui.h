// Message boxes and beeps of the host build: shown on the terminal, and each
// also recorded as one line of an event log that tests compare exactly.
#ifndef PELLIKOR_HOST_CONSOLE_UI_H
#define PELLIKOR_HOST_CONSOLE_UI_H

#include <cstdio>
#include <string>
#include <string_view>

namespace host {

// The event log's line for each call, in the form of Wine's relay trace of
// the same call, so that one reader serves both builds' tests.
std::string BoxEvent(std::string_view text, std::string_view caption, unsigned style);
std::string BeepEvent(unsigned type);

class ConsoleUi {
public:
    // waitForEnter: whether a box holds the run until Enter, as a modal box
    // does; eventLog: a file to append events to, or empty for none.
    ConsoleUi(std::FILE *screen, bool waitForEnter, const std::string &eventLog);
    ~ConsoleUi();
    ConsoleUi(const ConsoleUi &) = delete;
    ConsoleUi &operator=(const ConsoleUi &) = delete;

    void messageBox(std::string_view text, std::string_view caption, unsigned style);
    void beep(unsigned type);

private:
    void record(const std::string &event);

    std::FILE *screen_;
    bool waitForEnter_;
    int eventLog_ = -1;
};

}  // namespace host

#endif
