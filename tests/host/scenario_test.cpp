// The scenario table, run against the host program: one process a scenario,
// since the trace flag, once set, stays set for the life of the process.
// PELLIKOR_RUN_UNDER, if set, is a command (such as valgrind) to run it under.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "process.h"
#include "reg_file.h"
#include "scenarios.h"

namespace test {
namespace {

std::vector<std::string> CommandFor(const std::string &program)
{
    std::vector<std::string> command;
    const char *under = std::getenv("PELLIKOR_RUN_UNDER");
    std::istringstream words(under ? under : "");
    for (std::string word; words >> word;)
        command.push_back(word);
    command.push_back(program);
    return command;
}

class HostScenario : public testing::TestWithParam<Scenario> {};

TEST_P(HostScenario, EndsWithItsStatusBoxesAndRegistry)
{
    const Scenario &scenario = GetParam();
    const std::string fixture = Fixture(scenario.fixture);
    TempDir dir;
    WriteFile(dir / "registry.reg", ReadFile(fixture));
    WriteFile(dir / "events", "");

    ProcessResult run = RunProcess(CommandFor(PELLIKOR_HOST_PROGRAM), {
                                                                {"PELLIKOR_REGISTRY", dir / "registry.reg"},
                                                                {"PELLIKOR_EVENTS", dir / "events"},
                                                                {"PELLIKOR_COMMAND_LINE", scenario.commandLine},
                                                            });

    EXPECT_EQ(run.status, scenario.exitStatus);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ParseEvents(ReadFile(dir / "events")), scenario.events);
    const std::string after = ReadFile(dir / "registry.reg");
    EXPECT_EQ(DumpBranch(host::ReadRegFile(after), "Enum"), ExpectedBranch(fixture, scenario.writes, "Enum"));
    if (scenario.writes.empty()) {
        EXPECT_EQ(after, ReadFile(fixture)) << "a run that writes nothing leaves the file as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HostScenario, testing::ValuesIn(Scenarios()),
                         [](const testing::TestParamInfo<Scenario> &info) { return info.param.name; });

}  // namespace
}  // namespace test
