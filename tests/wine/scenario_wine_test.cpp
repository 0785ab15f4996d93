// The scenario table, run against the real program on Wine: each fixture is
// imported with Wine's regedit, the program is started with the exact raw
// command line, every box is dismissed with Enter, and the beeps and boxes
// are read from Wine's relay trace and the registry from Wine itself.
//
// PELLIKOR_WINE_PROGRAM names the program; PELLIKOR_WINE_TOOLS the folder
// of launcher.exe and regdump.exe; PELLIKOR_WINE_TIMEOUT the seconds a run
// may take (60).
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "scenarios.h"
#include "wine_session.h"

namespace test {
namespace {

std::string Setting(const char *name)
{
    const char *value = std::getenv(name);
    if (!value || !*value)
        throw std::runtime_error(std::string(name) + " is not set");
    return value;
}

// Keeps the calls of one process: Wine's helpers write into the same trace.
std::vector<Event> EventsOf(const std::string &trace, const std::string &pid)
{
    std::istringstream lines(trace);
    std::string line, calls;
    while (std::getline(lines, line))
        if (line.compare(0, pid.size() + 1, pid + ":") == 0 && line.find(":Call user32.") != std::string::npos)
            calls += line + "\n";
    return ParseEvents(calls);
}

class WineScenario : public testing::TestWithParam<Scenario> {
protected:
    static void SetUpTestSuite() { session_ = new WineSession(); }
    static void TearDownTestSuite()
    {
        delete session_;
        session_ = nullptr;
    }
    static WineSession *session_;
};

WineSession *WineScenario::session_ = nullptr;

TEST_P(WineScenario, EndsWithItsStatusBoxesAndRegistry)
{
    const Scenario &scenario = GetParam();
    const std::string program = Setting("PELLIKOR_WINE_PROGRAM");
    const std::string tools = Setting("PELLIKOR_WINE_TOOLS");
    const std::string fixture = Fixture(scenario.fixture);
    const TempDir &dir = session_->dir();

    // The fixture replaces whatever an earlier scenario left under Enum.
    std::string text = ReadFile(fixture);
    WriteFile(dir / "scenario.reg", "REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\Enum]\r\n" + text.substr(text.find('\n') + 1));
    session_->importRegistry(dir / "scenario.reg");
    WriteFile(dir / "line.txt", scenario.commandLine);

    const char *limit = std::getenv("PELLIKOR_WINE_TIMEOUT");
    const int seconds = limit ? std::atoi(limit) : 60;
    WineRun run = session_->run({tools + "/launcher.exe", WineSession::WindowsPath(program),
                                 WineSession::WindowsPath(dir / "line.txt")},
                                seconds);
    ASSERT_FALSE(run.timedOut) << "the program did not end within " << seconds << " s";
    ASSERT_EQ(run.out.compare(0, 4, "pid "), 0) << "the launcher could not start it: " << run.out << run.err;
    const std::string pid = run.out.substr(4, run.out.find('\n') - 4);

    EXPECT_EQ(run.status, scenario.exitStatus);
    EXPECT_EQ(EventsOf(run.err, pid), scenario.events);
    WineRun dump = session_->run({tools + "/regdump.exe", "Enum"}, 30);
    ASSERT_EQ(dump.status, 0);
    EXPECT_EQ(dump.out, ExpectedBranch(fixture, scenario.writes, "Enum"));
}

INSTANTIATE_TEST_SUITE_P(Table, WineScenario, testing::ValuesIn(Scenarios()),
                         [](const testing::TestParamInfo<Scenario> &info) { return info.param.name; });

}  // namespace
}  // namespace test
