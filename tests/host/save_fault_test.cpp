// Saves that fail for real: no room on the device, a folder the run may not
// write, a file-size limit, and a file another program replaced while the
// run held it. Each ends with status 3, a message that says what failed, the
// old file whole and no temporary file left behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "process.h"
#include "registry_dump.h"

namespace test {
namespace {

const char kNobody[] = "65534";

// scsi.reg padded with a comment, so that its copy needs room of its own.
std::string Padded(std::size_t bytes)
{
    return ReadFile(Fixture("scsi.reg")) + "; " + std::string(bytes, '-') + "\r\n";
}

std::map<std::string, std::string> Environment(const std::string &registry)
{
    return {{"PELLIKOR_REGISTRY", registry}, {"PELLIKOR_COMMAND_LINE", "Pellikor ON"}};
}

void ExpectNotSaved(const ProcessResult &result, const std::string &registry, const std::string &failure)
{
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err.rfind("pellikor: " + registry + ": not saved: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find(failure), std::string::npos) << result.err;
}

TEST(SaveFault, NoRoomOnTheDevice)
{
    TempDir dir;
    if (mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
    struct Unmount {
        const std::string &path;
        ~Unmount() { umount(path.c_str()); }
    } unmount{dir.path()};
    const std::string registry = dir / "registry.reg";
    const std::string text = Padded(40000);  // room for it, not for a second copy
    WriteFile(registry, text);

    ProcessResult result = RunProcess({PELLIKOR_HOST_PROGRAM}, Environment(registry));
    ExpectNotSaved(result, registry, "No space left on device; " + registry + " is unchanged\n");
    EXPECT_TRUE(ReadFile(registry) == text);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"registry.reg"});
}

// Root writes any folder, so the run is made as nobody, who may write the
// file but not the folder it is in.
TEST(SaveFault, FolderThatCannotBeWritten)
{
    TempDir dir;
    chmod(dir.path().c_str(), 0755);
    const std::string registry = dir / "registry.reg";
    const std::string text = Padded(10);
    WriteFile(registry, text);
    chmod(registry.c_str(), 0666);

    ProcessResult result = RunProcess(
        {"/usr/bin/setpriv", "--reuid", kNobody, "--regid", kNobody, "--clear-groups", PELLIKOR_HOST_PROGRAM},
        Environment(registry));
    ExpectNotSaved(result, registry,
                   "cannot create a temporary file in " + dir.path() + ": Permission denied; " + registry +
                       " is unchanged\n");
    EXPECT_TRUE(ReadFile(registry) == text);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"registry.reg"});
}

TEST(SaveFault, FileSizeLimit)
{
    // Even root cannot write past the limit; the message is smaller than it.
    TempDir dir;
    const std::string registry = dir / "registry.reg";
    const std::string text = Padded(4000);
    WriteFile(registry, text);
    ProcessResult result = RunProcess(
        {"/bin/sh", "-c", "trap '' XFSZ; ulimit -f 2; exec \"$0\"", PELLIKOR_HOST_PROGRAM}, Environment(registry));
    ExpectNotSaved(result, registry, "File too large; " + registry + " is unchanged\n");
    EXPECT_TRUE(ReadFile(registry) == text);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"registry.reg"});
}

TEST(SaveFault, FileReplacedByAnotherProgramWhileHeld)
{
    TempDir dir;
    const std::string registry = dir / "registry.reg";
    WriteFile(registry, ReadFile(Fixture("scsi.reg")));
    // The run stops at its first box until the test reads the event pipe.
    ASSERT_EQ(mkfifo((dir / "events").c_str(), 0600), 0);
    Process run({PELLIKOR_HOST_PROGRAM}, {{"PELLIKOR_REGISTRY", registry},
                                          {"PELLIKOR_EVENTS", dir / "events"},
                                          {"PELLIKOR_COMMAND_LINE", "Pellikor ON /V"}});

    // Once the run has mapped the file (it holds the lock and has settled on
    // that file by then), another program that ignores the lock puts a new
    // file in its place. The lock alone is not enough: a run that finds the
    // file replaced right after taking the lock reads the new one instead.
    const std::string maps = "/proc/" + std::to_string(run.pid()) + "/maps";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ReadFile(maps).find(registry) == std::string::npos) {
        ASSERT_TRUE(run.running()) << "the run ended before it read the file: " << run.wait().err;
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the run never read the file";
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string theirs = ReadFile(Fixture("scsi.reg")) + "; written by another program\r\n";
    WriteFile(dir / "theirs.reg", theirs);
    std::filesystem::rename(dir / "theirs.reg", registry);

    std::string events = ReadFile(dir / "events");  // reads until the run closes the pipe
    ProcessResult result = run.wait();
    EXPECT_FALSE(events.empty());
    ExpectNotSaved(result, registry, "another program changed or replaced the file while it was in use");
    EXPECT_EQ(ReadFile(registry), theirs) << "the other program's file is kept";
    EXPECT_EQ(dir.files().size(), 2u) << "registry.reg and the pipe, no temporary file";
}

}  // namespace
}  // namespace test
