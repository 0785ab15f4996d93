// Registry files the host program cannot use: each ends the run with status 2
// and a message naming the file, the line and what is wrong, before any box,
// and leaves the file byte for byte as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "process.h"
#include "registry_dump.h"

namespace test {
namespace {

struct BadFile {
    const char *name;
    std::string text;
    std::string message;  // what stderr says after "pellikor: FILE"
};

void PrintTo(const BadFile &c, std::ostream *out)
{
    *out << c.name;
}

const std::string kSection = "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_____CD...28D\\0001]\r\n";

const BadFile kBadFiles[] = {
    {"MissingHeader", kSection + "\"DMACurrentlyUsed\"=hex:00\r\n",
     ":1: expected the header line REGEDIT4, found \"[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_____CD...\""},
    {"WrongHeader", "Windows Registry Editor Version 5.00\r\n\r\n" + kSection,
     ":1: expected the header line REGEDIT4, found \"Windows Registry Editor Version 5.00\""},
    {"TruncatedInValue", "REGEDIT4\r\n" + kSection + "\"DMACurrentlyUsed\"=hex:00,01,\\\r\n",
     ":3: the file ends inside hex data continued with \\"},
    {"BadHex", "REGEDIT4\r\n" + kSection + "\"DMACurrentlyUsed\"=hex:0x\r\n",
     ":3: bad hex byte \"0x\"; each byte is two hex digits"},
    {"OddDigitCount", "REGEDIT4\r\n" + kSection + "\"DMACurrentlyUsed\"=hex:001\r\n",
     ":3: bad hex byte \"001\"; each byte is two hex digits"},
    {"UnterminatedString", "REGEDIT4\r\n" + kSection + "\"Class\"=\"CDROM\r\n",
     ":3: unterminated string: no closing \""},
    {"UnterminatedSection", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Enum\r\n",
     ":2: unterminated key name: \"[HKEY_LOCAL_MACHINE\\Enum\" has no closing ]"},
    {"ValueBeforeSection", "REGEDIT4\r\n\"DMACurrentlyUsed\"=hex:00\r\n" + kSection, ":2: value before any [key] line"},
    {"NulByte", "REGEDIT4\r\n" + kSection + std::string("\"DMACurrentlyUsed\"=hex:00\0\r\n", 29),
     ":3: NUL byte in the line"},
    {"HugeLine", "REGEDIT4\r\n" + kSection + std::string(16 << 20, 'x') + "\r\n",
     ":3: expected a [key] line, a \"name\"= or @= value, or a ; comment; found "
     "\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\""},
};

class BadRegistryFile : public testing::TestWithParam<BadFile> {};

TEST_P(BadRegistryFile, StopsWithStatus2AndLeavesTheFileAsItWas)
{
    TempDir dir;
    const std::string registry = dir / "registry.reg";
    WriteFile(registry, GetParam().text);
    ProcessResult result = RunProcess({PELLIKOR_HOST_PROGRAM}, {{"PELLIKOR_REGISTRY", registry},
                                                                {"PELLIKOR_EVENTS", dir / "events"},
                                                                {"PELLIKOR_COMMAND_LINE", "Pellikor ON /V"}});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "pellikor: " + registry + GetParam().message + "\n");
    EXPECT_EQ(result.out, "") << "no box before the registry is read";
    EXPECT_FALSE(std::filesystem::exists(dir / "events"));
    EXPECT_TRUE(ReadFile(registry) == GetParam().text) << "the file changed";
}

INSTANTIATE_TEST_SUITE_P(Table, BadRegistryFile, testing::ValuesIn(kBadFiles),
                         [](const testing::TestParamInfo<BadFile> &info) { return info.param.name; });

// Root reads any file, so the run that meets a file it may not read is made
// as nobody.
TEST(BadRegistryFileAccess, FileWithoutReadPermission)
{
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    const std::string registry = dir / "registry.reg";
    WriteFile(registry, "REGEDIT4\r\n");
    chmod(registry.c_str(), 0);
    ProcessResult result = RunProcess(
        {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", PELLIKOR_HOST_PROGRAM},
        {{"PELLIKOR_REGISTRY", registry}, {"PELLIKOR_COMMAND_LINE", "Pellikor ON"}});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "pellikor: " + registry + ": cannot open: Permission denied\n");
    chmod(registry.c_str(), 0644);
    EXPECT_EQ(ReadFile(registry), "REGEDIT4\r\n");
}

}  // namespace
}  // namespace test
