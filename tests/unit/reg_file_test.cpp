// Reading and writing REGEDIT4 text.
#include <gtest/gtest.h>

#include <filesystem>

#include "reg_file.h"
#include "registry_dump.h"

namespace {

using host::Bytes;
using host::ReadRegFile;
using host::WriteRegFile;

// Every form the reader knows, in LF lines, ending without a line feed.
const char kEveryForm[] =
    "REGEDIT4\n"
    "\n"
    "; a comment\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\Dev]\n"
    "@=\"default\"\n"
    "\"Quoted\"=\"a \\\"b\\\" c:\\\\d\"\n"
    "\"Na\\\"me\"=dword:0000ABcd\n"
    "  \"Spaced\" = hex:01, 02 ,03\n"
    "\"Long\"=hex(7):41,00,42,00,\\\n"
    "  43,00,00,00\n"
    "\"Empty\"=hex:\n"
    "# also a comment\n"
    "[hkey_current_user\\Software\\Pellikor]\n"
    "\"x\"=hex(0):\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\Dev]\n"
    "\"Again\"=\"second section\"\n"
    "; last words";

TEST(RegFile, ReadsEveryForm)
{
    host::Registry registry = ReadRegFile(kEveryForm);
    const host::Key *dev = registry.findRoot("HKEY_LOCAL_MACHINE")->findSubkey("enum")->findSubkey("SCSI")->findSubkey("dev");
    ASSERT_NE(dev, nullptr);
    struct Expected {
        const char *name;
        std::uint32_t type;
        Bytes data;
    } expected[] = {
        {"", 1, {'d', 'e', 'f', 'a', 'u', 'l', 't', 0}},
        {"Quoted", 1, {'a', ' ', '"', 'b', '"', ' ', 'c', ':', '\\', 'd', 0}},
        {"Na\"me", 4, {0xcd, 0xab, 0x00, 0x00}},
        {"Spaced", 3, {1, 2, 3}},
        {"Long", 7, {0x41, 0, 0x42, 0, 0x43, 0, 0, 0}},
        {"Empty", 3, {}},
        {"Again", 1, {'s', 'e', 'c', 'o', 'n', 'd', ' ', 's', 'e', 'c', 't', 'i', 'o', 'n', 0}},
    };
    for (const Expected &e : expected) {
        const host::Value *value = dev->findValue(e.name);
        ASSERT_NE(value, nullptr) << e.name;
        EXPECT_EQ(value->name, e.name);
        EXPECT_EQ(value->type, e.type) << e.name;
        EXPECT_EQ(value->data, e.data) << e.name;
    }
    EXPECT_NE(registry.findRoot("HKEY_CURRENT_USER"), nullptr);
}

TEST(RegFile, WritesBackWhatItReadByteForByte)
{
    EXPECT_EQ(WriteRegFile(ReadRegFile(kEveryForm)), kEveryForm);
    std::vector<std::string> files = {PELLIKOR_SAMPLE};
    for (const auto &entry : std::filesystem::directory_iterator(PELLIKOR_FIXTURES))
        files.push_back(entry.path().string());
    for (const std::string &file : files) {
        std::string text = test::ReadFile(file);
        EXPECT_EQ(WriteRegFile(ReadRegFile(text)), text) << file;
    }
}

TEST(RegFile, WritesAChangedValueAsRegeditWouldInTheFilesLineEnds)
{
    struct Case {
        std::uint32_t type;
        Bytes data;
        const char *line;
    } cases[] = {
        {3, {0x01}, "\"V\"=hex:01"},
        {4, {0x01}, "\"V\"=hex(4):01"},
        {4, {0x01, 0x02, 0x03, 0x04}, "\"V\"=dword:04030201"},
        {1, {'o', 'n', 0}, "\"V\"=\"on\""},
        {1, {0x01}, "\"V\"=hex(1):01"},
        {0, {}, "\"V\"=hex(0):"},
        {0x20000, {0xff}, "\"V\"=hex(20000):ff"},
    };
    for (const char *lineEnd : {"\r\n", "\n"}) {
        for (const Case &c : cases) {
            std::string file = std::string("REGEDIT4") + lineEnd + "[HKEY_LOCAL_MACHINE\\K]" + lineEnd +
                               "\"Other\"=hex:00" + lineEnd + "\"V\"=hex:00,00" + lineEnd;
            host::Registry registry = ReadRegFile(file);
            registry.findRoot("HKEY_LOCAL_MACHINE")->findSubkey("K")->setValue("v", c.type, c.data);
            std::string expected = std::string("REGEDIT4") + lineEnd + "[HKEY_LOCAL_MACHINE\\K]" + lineEnd +
                                   "\"Other\"=hex:00" + lineEnd + c.line + lineEnd;
            EXPECT_EQ(WriteRegFile(registry), expected) << c.line;
        }
    }
}

TEST(RegFile, WrapsLongHexLikeRegeditAndReadsItBack)
{
    host::Registry registry = ReadRegFile("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n");
    Bytes data(100, 0);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i);
    host::Key &key = *registry.findRoot("HKEY_LOCAL_MACHINE")->findSubkey("K");
    key.setValue("Blob", 3, data);
    std::string text = WriteRegFile(registry);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    EXPECT_EQ(ReadRegFile(text).findRoot("HKEY_LOCAL_MACHINE")->findSubkey("K")->findValue("Blob")->data, data);
}

struct BadCase {
    const char *name;
    const char *text;
    int line;
    const char *message;  // a part of the message
};

void PrintTo(const BadCase &c, std::ostream *out)
{
    *out << c.name;
}

const BadCase kBadCases[] = {
    {"Empty", "", 1, "empty file"},
    {"NoHeader", "[HKEY_LOCAL_MACHINE\\K]\n", 1, "expected the header line REGEDIT4"},
    {"OtherHeader", "Windows Registry Editor Version 5.00\r\n", 1, "expected the header line REGEDIT4"},
    {"ValueBeforeSection", "REGEDIT4\n\n\"V\"=hex:00\n", 3, "value before any [key] line"},
    {"UnterminatedSection", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K\n", 2, "no closing ]"},
    {"UnknownRoot", "REGEDIT4\n[HKEY_NOWHERE\\K]\n", 2, "unknown root key"},
    {"EmptyKeyName", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n", 2, "empty key name"},
    {"KeyDeletion", "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\K]\n", 2, "not supported"},
    {"ValueDeletion", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=-\n", 3, "not supported"},
    {"UnterminatedName", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V=hex:00\n", 3, "unterminated value name"},
    {"UnterminatedString", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"abc\n", 3, "unterminated string"},
    {"UnknownEscape", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"a\\nb\"\n", 3, "unknown escape \\n"},
    {"NoEquals", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\" hex:00\n", 3, "expected = after"},
    {"UnknownType", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=qword:00\n", 3, "unknown data"},
    {"ShortDword", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=dword:123\n", 3, "exactly 8 hex digits"},
    {"BadDwordDigit", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=dword:0000000g\n", 3, "bad hex digit"},
    {"BadHexByte", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=hex:01,zz\n", 3, "bad hex byte \"zz\""},
    {"OddDigits", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=hex:01,2\n", 3, "two hex digits"},
    {"ThreeDigits", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=hex:012\n", 3, "two hex digits"},
    {"BadTypeNumber", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=hex(x):00\n", 3, "bad hex digit in the type"},
    {"TrailingComma", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=hex:01,\n", 3, "ends in a comma"},
    {"BadContinuation", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=hex:01,\\\n  02,x\n", 4, "bad hex byte \"x\""},
    {"TruncatedInValue", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=hex:01,\\\n", 3, "file ends inside hex data"},
    {"TextAfterString", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"a\" b\n", 3, "unexpected text"},
    {"DuplicateValue", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=hex:00\n\"v\"=hex:01\n", 4, "given twice"},
    {"StrayLine", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\nhello\n", 3, "expected a [key] line"},
};

class BadRegFile : public testing::TestWithParam<BadCase> {};

TEST_P(BadRegFile, NamesTheLineAndWhatIsWrong)
{
    try {
        ReadRegFile(GetParam().text);
        FAIL() << "read without an error";
    } catch (const host::RegFileError &e) {
        EXPECT_EQ(e.line(), GetParam().line);
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

TEST(BadRegFileNul, NamesTheLineOfANulByte)
{
    std::string text("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=hex:0\0\n", 43);
    try {
        ReadRegFile(text);
        FAIL() << "read without an error";
    } catch (const host::RegFileError &e) {
        EXPECT_EQ(e.line(), 3);
        EXPECT_STREQ(e.what(), "NUL byte in the line");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BadRegFile, testing::ValuesIn(kBadCases),
                         [](const testing::TestParamInfo<BadCase> &info) { return info.param.name; });

}  // namespace
