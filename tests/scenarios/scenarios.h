// The table of whole runs that both builds must pass: a registry fixture, a
// raw command line, and what must follow: the exit status, every beep and
// box in order, and the registry afterwards. Nothing here is particular to
// one build.
#ifndef PELLIKOR_TESTS_SCENARIOS_H
#define PELLIKOR_TESTS_SCENARIOS_H

#include <ostream>
#include <string>
#include <vector>

#include "events.h"
#include "registry_dump.h"

namespace test {

extern const char kBanner[];

struct Scenario {
    std::string name;
    std::string fixture;  // a file of tests/fixtures
    std::string commandLine;  // the raw process command line
    int exitStatus;
    std::vector<Event> events;
    std::vector<Write> writes;  // every value that changes; nothing else may
};

const std::vector<Scenario> &Scenarios();

std::ostream &operator<<(std::ostream &out, const Scenario &scenario);

}  // namespace test

#endif
