// The start-up rule (raw command line to command tail) and the host's
// rebuilding of a raw command line from its arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"
#include "command_tail.h"

namespace {

struct TailCase {
    const char *raw;
    const char *tail;
};

const TailCase kTailCases[] = {
    {"", ""},
    {"Pellikor", ""},
    {"Pellikor ON", "ON"},
    {"Pellikor    ON /V", "ON /V"},
    {"Pellikor\t \tON", "ON"},
    {"  \t Pellikor ON", "ON"},
    {"Pellikor ON  ", "ON  "},
    {"Pellikor\"x ON", "ON"},                        // a quote inside an unquoted name is part of it
    {"\"Pellikor\"ON", "ON"},                        // the closing quote ends the name
    {"\"C:\\My Tools\\Pellikor.exe\" OFF /V", "OFF /V"},
    {"\"Pellikor ON", ""},                           // no closing quote: the name runs to the end
    {"\"Pell\tikor\" ON", "ikor\" ON"},              // a tab ends a quoted name too
    {"\"\" ON", "ON"},
    {"Pellikor \x01ON", "\x01ON"},                   // only blanks and tabs are skipped
    {"Pellikor\nON", ""},                            // a line feed is part of the name
    {"Pellikor \xe9 ON", "\xe9 ON"},
};

void PrintTo(const TailCase &c, std::ostream *out)
{
    *out << testing::PrintToString(std::string(c.raw));
}

class CommandTailTest : public testing::TestWithParam<TailCase> {};

TEST_P(CommandTailTest, SkipsNameAndBlanksOnly)
{
    std::string raw = GetParam().raw;
    std::vector<char> line(raw.begin(), raw.end());
    line.push_back('\0');
    char *tail = CommandTail(line.data());
    EXPECT_EQ(std::string(tail), GetParam().tail);
    EXPECT_GE(tail, line.data());
    EXPECT_LT(tail, line.data() + line.size()) << "the tail points into the line itself";
}

INSTANTIATE_TEST_SUITE_P(Table, CommandTailTest, testing::ValuesIn(kTailCases));

struct ArgsCase {
    std::vector<const char *> argv;
    const char *raw;
};

TEST(RawCommandLine, JoinsArgumentsAsGivenAndQuotesANameWithBlanks)
{
    const ArgsCase cases[] = {
        {{"pellikor"}, "pellikor"},
        {{"build/host/pellikor", "ON", "/V"}, "build/host/pellikor ON /V"},
        {{"/opt/my tools/pellikor", "OFF"}, "\"/opt/my tools/pellikor\" OFF"},
        {{"pellikor", "\"ON\""}, "pellikor \"ON\""},
        {{"pellikor", "a b", "", "c"}, "pellikor a b  c"},
        {{}, "pellikor"},
    };
    for (const ArgsCase &c : cases)
        EXPECT_EQ(host::RawCommandLine(static_cast<int>(c.argv.size()), c.argv.data()), c.raw) << c.raw;
}

}  // namespace
