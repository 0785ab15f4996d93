// The beeps and message boxes of one run, read from the host's event log or
// from Wine's relay trace, which give them in the same form.
#ifndef PELLIKOR_TESTS_EVENTS_H
#define PELLIKOR_TESTS_EVENTS_H

#include <ostream>
#include <string>
#include <vector>

namespace test {

struct Event {
    std::string call;  // "MessageBeep" or "MessageBoxA"
    unsigned style = 0;  // the sound of a beep, the style of a box
    std::string text;
    std::string caption;
    // Wine's relay trace cuts long strings; only their beginning is compared.
    bool textCut = false;
    bool captionCut = false;

    bool operator==(const Event &other) const;
};

Event Beep(unsigned sound);
Event Box(const std::string &text, const std::string &caption, unsigned style);

// Reads every "MessageBeep(...)" and "MessageBoxA(...)" call in the text, one
// a line; a line may carry more before the call (such as Wine's relay prefix)
// and after it. Throws std::runtime_error on a call it cannot read.
std::vector<Event> ParseEvents(const std::string &log);

std::ostream &operator<<(std::ostream &out, const Event &event);

}  // namespace test

#endif
