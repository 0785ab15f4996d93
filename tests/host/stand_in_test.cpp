// What only the host build can show: keys that refuse to open, the exact
// registry calls, and the .reg file behind the registry (a missing file, a
// bad one, the lock).
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "process.h"
#include "reg_file.h"
#include "scenarios.h"

namespace test {
namespace {

const std::string kDrive = "Enum\\SCSI\\NEC_____CD-ROM_DRIVE:28D";
const std::string kFirst = "PCI&VEN_F00D&DEV_0C01&BUS_00&DEV_0D&FUNC_0010";
const std::string kSecond = "PCI&VEN_F00D&DEV_0C01&BUS_00&DEV_0D&FUNC_0030";

// One run of the host program on a copy of a fixture.
class HostRun : public testing::Test {
protected:
    void SetUp() override { WriteFile(dir_ / "events", ""); }

    ProcessResult run(const std::string &fixture, const std::string &commandLine,
                      std::map<std::string, std::string> env = {})
    {
        if (!fixture.empty())
            WriteFile(registry(), ReadFile(Fixture(fixture)));
        env.emplace("PELLIKOR_REGISTRY", registry());
        env.emplace("PELLIKOR_EVENTS", dir_ / "events");
        env.emplace("PELLIKOR_COMMAND_LINE", commandLine);
        return RunProcess({PELLIKOR_HOST_PROGRAM}, env);
    }

    std::string registry() const { return dir_ / "registry.reg"; }
    std::vector<Event> events() const { return ParseEvents(ReadFile(dir_ / "events")); }
    std::string branch() const { return DumpBranch(host::ReadRegFile(ReadFile(registry())), "Enum"); }

    TempDir dir_;
};

Event Trace(const std::string &text, const std::string &caption)
{
    return Box(text, caption, 0x00010000);
}

TEST_F(HostRun, DeviceKeyThatCannotBeOpenedEndsTheWalkQuietly)
{
    ProcessResult result = run("scsi.reg", "Pellikor ON /V", {{"PELLIKOR_DENY_OPEN", kDrive}});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    std::vector<Event> got = events();
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(got.back(), Trace("NEC_____CD-ROM_DRIVE:28D", "VERBOSE - FOUND KEY"));
    EXPECT_EQ(ReadFile(registry()), ReadFile(Fixture("scsi.reg")));
}

TEST_F(HostRun, InstanceThatCannotBeOpenedIsSkippedAfterItsBox)
{
    ProcessResult result = run("scsi.reg", "Pellikor ON /V", {{"PELLIKOR_DENY_OPEN", kDrive + "\\" + kFirst}});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    std::vector<Event> got = events();
    ASSERT_EQ(got.size(), 10u);
    EXPECT_EQ(std::vector<Event>(got.begin() + 6, got.end()),
              (std::vector<Event>{
                  Trace(kFirst, "VERBOSE - B - Found PCI/PNP KEY"),
                  Trace(kSecond, "VERBOSE - B - Found PCI/PNP KEY"),
                  Trace("DMACurrentlyUsed", "VERBOSE - D - PROCESSING DMA SWITCH"),
                  Trace("ROOT&SCSI&0000", "VERBOSE - B - Found PCI/PNP KEY"),
              }));
    EXPECT_EQ(branch(), ExpectedBranch(Fixture("scsi.reg"), {{kDrive + "\\" + kSecond, "DMACurrentlyUsed", 4, {1}}},
                                       "Enum"));
}

TEST_F(HostRun, MakesEachCallWithFullPathsAllAccessAndSize299)
{
    std::map<std::string, std::string> env = {{"PELLIKOR_CALL_LOG", dir_ / "calls"}};
    ASSERT_EQ(run("two-drives.reg", "Pellikor OFF", env).status, 0);
    EXPECT_EQ(ReadFile(dir_ / "calls"),
              "RegOpenKeyExA(HKLM,\"Enum\\SCSI\",000f003f) = 0 0x100\n"
              "RegEnumKeyExA(0x100,0,299) = 0 \"nec_____cd-rom_drive:28d_\"\n"
              "RegCloseKey(0x100) = 0\n"
              "RegOpenKeyExA(HKLM,\"Enum\\SCSI\\nec_____cd-rom_drive:28d_\",000f003f) = 0 0x101\n"
              "RegEnumKeyExA(0x101,0,299) = 0 \"0001\"\n"
              "RegOpenKeyExA(HKLM,\"Enum\\SCSI\\nec_____cd-rom_drive:28d_\\0001\",000f003f) = 0 0x102\n"
              "RegEnumValueA(0x102,0,299) = 0 \"DMACurrentlyUsed\" type 3\n"
              "RegSetValueExA(0x102,\"DMACurrentlyUsed\",0,3,00,1) = 0\n"
              "RegCloseKey(0x102) = 0\n"
              "RegEnumKeyExA(0x101,1,299) = 259 \"\"\n"
              "RegCloseKey(0x101) = 0\n");
}

TEST_F(HostRun, TakesTheCommandLineFromItsArguments)
{
    WriteFile(registry(), ReadFile(Fixture("scsi.reg")));
    ProcessResult result = RunProcess({PELLIKOR_HOST_PROGRAM, "oN", "/v"},
                                      {{"PELLIKOR_REGISTRY", registry()}, {"PELLIKOR_EVENTS", dir_ / "events"}});
    EXPECT_EQ(result.status, 0);
    ASSERT_GE(events().size(), 2u);
    EXPECT_EQ(events()[1].text, std::string(kBanner) + "\nGoing To Set DMACurrentlyUsed To ON\n");
    EXPECT_NE(result.out.find("VERBOSE - FOUND KEY"), std::string::npos) << "boxes show on the terminal";
}

TEST_F(HostRun, MissingFileIsAnEmptyRegistryAndStaysMissing)
{
    ProcessResult result = run("", "Pellikor ON /V");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(events().size(), 2u) << "the confirmation only: there is no Enum\\SCSI";
    EXPECT_EQ(dir_.files(), std::vector<std::string>{"events"});
}

TEST_F(HostRun, UnreadableRegistryFileStopsBeforeAnythingAndIsLeftAsItWas)
{
    const std::string bad = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\SCSI]\r\n\"V\"=hex:0g\r\n";
    WriteFile(registry(), bad);
    ProcessResult result = run("", "Pellikor ON /V");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "pellikor: " + registry() + ":4: bad hex byte \"0g\"; each byte is two hex digits\n");
    EXPECT_EQ(ReadFile(registry()), bad);
    EXPECT_TRUE(events().empty()) << "no box before the registry is read";

    std::filesystem::remove(registry());
    std::filesystem::create_directory(registry());
    result = run("", "Pellikor ON");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "pellikor: " + registry() + ": cannot open: Is a directory\n");
}

TEST_F(HostRun, WaitsForTheLockAndReadsWhatTheHolderWrote)
{
    WriteFile(registry(), ReadFile(Fixture("scsi.reg")));
    int held = open(registry().c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    Process waiting({PELLIKOR_HOST_PROGRAM}, {{"PELLIKOR_REGISTRY", registry()},
                                              {"PELLIKOR_COMMAND_LINE", "Pellikor OFF"}});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(waiting.running()) << "a run must not read the file while another holds it";

    // The holder saves as a run does, by renaming a new file over the old one.
    const std::string added = "\r\n[HKEY_LOCAL_MACHINE\\Enum\\Root\\Other]\r\n\"Kept\"=hex:2a\r\n";
    WriteFile(dir_ / "new.reg", ReadFile(Fixture("scsi.reg")) + added);
    std::filesystem::rename(dir_ / "new.reg", registry());
    close(held);

    ProcessResult result = waiting.wait();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    std::string after = ReadFile(registry());
    EXPECT_NE(after.find(added), std::string::npos) << "the holder's write is kept";
    EXPECT_NE(after.find("\"DMACurrentlyUsed\"=hex(4):00"), std::string::npos) << "and the waiting run's made";
}

}  // namespace
}  // namespace test
