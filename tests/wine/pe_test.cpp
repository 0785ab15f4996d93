// The header, imports and resources of Pellikor.exe: a PE32 GUI program for
// Windows 4.0 that imports only what Windows 95 has, from four DLLs.
// PELLIKOR_EXE names the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "process.h"
#include "registry_dump.h"
#include "scenarios.h"

namespace test {
namespace {

std::string Program()
{
    const char *path = std::getenv("PELLIKOR_EXE");
    return path ? path : "";
}

std::string Lower(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class PeFile : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(Program().empty()) << "PELLIKOR_EXE is not set";
        ProcessResult dump = RunProcess({"/usr/bin/i686-w64-mingw32-objdump", "-p", Program()}, {});
        ASSERT_EQ(dump.status, 0) << dump.err;
        headers_ = dump.out;
    }

    // The value of a header field as objdump prints it ("Subsystem  00000002 (Windows GUI)").
    std::string field(const std::string &name) const
    {
        std::istringstream lines(headers_);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string word, value;
            if (words >> word && word == name && std::getline(words >> std::ws, value))
                return value;
        }
        return "(missing)";
    }

    // DLL name (lower case) to the functions taken from it.
    std::map<std::string, std::set<std::string>> imports() const
    {
        std::map<std::string, std::set<std::string>> found;
        std::istringstream lines(headers_);
        std::string dll;
        for (std::string line; std::getline(lines, line);) {
            std::size_t at = line.find("DLL Name: ");
            if (at != std::string::npos) {
                dll = Lower(line.substr(at + 10));
                continue;
            }
            std::istringstream words(line);
            std::string hint, ordinal, name;
            if (!dll.empty() && (words >> hint >> ordinal >> name) &&
                std::all_of(ordinal.begin(), ordinal.end(), ::isdigit))
                found[dll].insert(name);
            if (line.empty())
                dll.clear();
        }
        return found;
    }

    std::string headers_;
};

TEST_F(PeFile, IsA32BitGuiProgramForWindows40)
{
    EXPECT_NE(headers_.find("file format pei-i386"), std::string::npos);
    EXPECT_EQ(field("Magic"), "010b\t(PE32)");
    EXPECT_EQ(field("Subsystem"), "00000002\t(Windows GUI)");
    EXPECT_EQ(field("MajorOSystemVersion"), "4");
    EXPECT_EQ(field("MinorOSystemVersion"), "0");
    EXPECT_EQ(field("MajorSubsystemVersion"), "4");
    EXPECT_EQ(field("MinorSubsystemVersion"), "0");
}

TEST_F(PeFile, ImportsOnlyWhatWindows95Has)
{
    const std::map<std::string, std::set<std::string>> allowed = {
        {"kernel32.dll", {"ExitProcess", "GetCommandLineA", "GetModuleHandleA"}},
        {"user32.dll", {"MessageBoxA", "MessageBeep"}},
        {"advapi32.dll", {"RegOpenKeyExA", "RegEnumKeyExA", "RegEnumValueA", "RegSetValueExA", "RegCloseKey"}},
        {"msvcrt.dll",
         {"_strnicmp", "exit", "sprintf", "strcat", "strcpy", "strlen", "strncpy", "strstr", "toupper", "memcpy",
          "memset"}},
    };
    const auto found = imports();
    EXPECT_EQ(found.size(), 4u) << "every one of the four DLLs, and no other";
    for (const auto &[dll, functions] : found) {
        auto entry = allowed.find(dll);
        ASSERT_NE(entry, allowed.end()) << "imports from " << dll;
        for (const std::string &function : functions)
            EXPECT_TRUE(entry->second.count(function)) << dll << " " << function;
    }
}

TEST_F(PeFile, HasNoThreadLocalStorageAndFitsIn8KiB)
{
    // The data directory's TLS entry: address and size both zero.
    std::istringstream lines(headers_);
    bool seen = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("Thread Storage Directory") != std::string::npos) {
            seen = true;
            EXPECT_NE(line.find("00000000 00000000"), std::string::npos) << line;
        }
    }
    EXPECT_TRUE(seen);
    EXPECT_EQ(headers_.find("The .tls Section"), std::string::npos);
    EXPECT_LE(ReadFile(Program()).size(), 8192u);
}

TEST_F(PeFile, PropertiesTellWhatItIs)
{
    // Version strings are UTF-16 in the resource.
    auto utf16 = [](const std::string &s) {
        std::string wide;
        for (char c : s) {
            wide += c;
            wide += '\0';
        }
        return wide;
    };
    const std::string file = ReadFile(Program());
    for (const std::string &text : {std::string("LegalCopyright"), std::string(kBanner), std::string("ProductName"),
                                    std::string("Pellikor"), std::string("FileDescription"), std::string("FileVersion")})
        EXPECT_NE(file.find(utf16(text)), std::string::npos) << text;
}

}  // namespace
}  // namespace test
