// Many runs against one registry file at once, with another program writing
// elsewhere in it under the same lock: no run loses another's write, and the
// file is never torn.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "process.h"
#include "reg_file.h"
#include "registry_dump.h"
#include "registry_file.h"

namespace test {
namespace {

const char kInstance[] = "Enum\\SCSI\\NEC_____CD-ROM_DRIVE:28D\\PCI&VEN_F00D&DEV_0C01&BUS_00&DEV_0D&FUNC_0010";

// Another writer of the file, which locks and saves it as the runs do.
void AddMarker(const std::string &registry, int n)
{
    host::RegistryFile file(registry);
    host::Key &key = file.registry().root("HKEY_LOCAL_MACHINE").subkey("Software").subkey("Markers");
    file.registry().ensureSection(key, "HKEY_LOCAL_MACHINE\\Software\\Markers");
    key.setValue("Marker" + std::to_string(n), 4, {static_cast<unsigned char>(n), 0, 0, 0});
    file.save();
}

TEST(RunsAtOnce, KeepEveryWriteAndLeaveAWholeFile)
{
    TempDir dir;
    const std::string registry = dir / "registry.reg";
    WriteFile(registry, ReadFile(Fixture("scsi.reg")));

    const int runs = 24, markers = 12;
    std::vector<std::unique_ptr<Process>> started;
    for (int i = 0; i < runs; ++i)
        started.push_back(std::make_unique<Process>(
            std::vector<std::string>{PELLIKOR_HOST_PROGRAM},
            std::map<std::string, std::string>{{"PELLIKOR_REGISTRY", registry},
                                               {"PELLIKOR_COMMAND_LINE", i % 2 ? "Pellikor ON" : "Pellikor OFF"}}));
    std::vector<std::thread> writers;
    for (int n = 0; n < markers; ++n)
        writers.emplace_back(AddMarker, registry, n);
    for (std::thread &writer : writers)
        writer.join();
    for (auto &run : started) {
        ProcessResult result = run->wait();
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
    }

    host::Registry after = host::ReadRegFile(ReadFile(registry));  // throws if torn
    const host::Key *markersKey = after.findRoot("HKEY_LOCAL_MACHINE")->findSubkey("Software")->findSubkey("Markers");
    ASSERT_NE(markersKey, nullptr);
    for (int n = 0; n < markers; ++n)
        EXPECT_NE(markersKey->findValue("Marker" + std::to_string(n)), nullptr) << "marker " << n << " was lost";
    // Every run wrote one byte over the drive's values: the last one's stands.
    const std::string dump = DumpBranch(after, kInstance);
    EXPECT_TRUE(dump.find("\"DMACurrentlyUsed\" 3 01\n") != std::string::npos ||
                dump.find("\"DMACurrentlyUsed\" 3 00\n") != std::string::npos)
        << dump;
    EXPECT_EQ(dir.files(), std::vector<std::string>{"registry.reg"}) << "no temporary file is left";
}

}  // namespace
}  // namespace test
