// The Windows registry calls of the host build, as the program relies on them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "console_ui.h"
#include "platform.h"
#include "reg_file.h"

namespace {

class RegistryApi : public testing::Test {
protected:
    void load(const std::string &sections, std::set<std::string> denied = {})
    {
        registry_ = host::ReadRegFile("REGEDIT4\n" + sections);
        platform_ = std::make_unique<host::Platform>(registry_, ui_, denied, nullptr);
        active_ = std::make_unique<host::ActivePlatform>(*platform_);
    }

    HKEY open(const char *path, LONG expected = ERROR_SUCCESS)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key), expected) << path;
        return key;
    }

    std::vector<std::string> subkeys(HKEY key)
    {
        std::vector<std::string> names;
        char name[300];
        DWORD size = 299;
        FILETIME time;
        for (DWORD i = 0; RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, &time) == 0; ++i) {
            EXPECT_EQ(size, std::string(name).size());
            names.push_back(name);
            size = 299;
        }
        return names;
    }

    std::vector<std::string> values(HKEY key)
    {
        std::vector<std::string> names;
        char name[300];
        DWORD size = 299, type;
        for (DWORD i = 0; RegEnumValueA(key, i, name, &size, nullptr, &type, nullptr, nullptr) == 0; ++i) {
            names.push_back(name);
            size = 299;
        }
        return names;
    }

    host::Registry registry_;
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> screen_{std::tmpfile(), &std::fclose};
    host::ConsoleUi ui_{screen_.get(), false, ""};
    std::unique_ptr<host::Platform> platform_;
    std::unique_ptr<host::ActivePlatform> active_;
};

TEST_F(RegistryApi, OpensFullPathsWithAsciiCaseIgnored)
{
    load("[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\Dev\\\xc9t\xe9]\n", {"Enum\\SCSI\\Dev\\\xc9t\xe9"});
    HKEY scsi = open("enum\\scsi");
    open("ENUM\\SCSI\\DEV");
    open("Enum\\SCSI\\Missing", ERROR_FILE_NOT_FOUND);
    open("Enum\\SCSI\\Dev\\\xe9t\xe9", ERROR_FILE_NOT_FOUND);  // bytes from 0x80 up are not folded
    open("Enum\\SCSI\\dev\\\xc9t\xe9", ERROR_ACCESS_DENIED);

    HKEY dev = nullptr;
    EXPECT_EQ(RegOpenKeyExA(scsi, "DEV", 0, KEY_ALL_ACCESS, &dev), ERROR_SUCCESS);
    HKEY closed = dev;
    EXPECT_EQ(RegCloseKey(dev), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(closed, "x", 0, KEY_ALL_ACCESS, &dev), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(scsi), ERROR_SUCCESS);
    EXPECT_EQ(platform_->openKeys(), 1u);  // the ENUM\SCSI\DEV above
}

TEST_F(RegistryApi, EnumeratesByNameWithLettersFoldedToLowerCase)
{
    load("[HKEY_LOCAL_MACHINE\\K\\b]\n[HKEY_LOCAL_MACHINE\\K\\Z]\n[HKEY_LOCAL_MACHINE\\K\\\xe9]\n"
         "[HKEY_LOCAL_MACHINE\\K\\_x]\n[HKEY_LOCAL_MACHINE\\K\\A]\n[HKEY_LOCAL_MACHINE\\K\\[y]\n"
         "[HKEY_LOCAL_MACHINE\\K\\a1]\n"
         "[HKEY_LOCAL_MACHINE\\K]\n\"b\"=hex:\n\"Z\"=hex:\n\"_x\"=hex:\n\"A\"=hex:\n\"1\"=hex:\n");
    HKEY key = open("K");
    EXPECT_EQ(subkeys(key), (std::vector<std::string>{"[y", "_x", "A", "a1", "b", "Z", "\xe9"}));
    EXPECT_EQ(values(key), (std::vector<std::string>{"1", "_x", "A", "b", "Z"}));

    char name[300];
    DWORD size = 299;
    EXPECT_EQ(RegEnumKeyExA(key, 7, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumValueA(key, 5, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumKeyExA(key, 2, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "A") << "any index may be asked, in any order";
}

TEST_F(RegistryApi, NameThatDoesNotFitWithItsTerminatorIsMoreData)
{
    const std::string fits(298, 'a'), tooLong(299, 'b');
    load("[HKEY_LOCAL_MACHINE\\K\\" + fits + "]\n[HKEY_LOCAL_MACHINE\\K\\" + tooLong + "]\n" +
         "[HKEY_LOCAL_MACHINE\\K]\n\"" + fits + "\"=hex:\n\"" + tooLong + "\"=hex:\n");
    HKEY key = open("K");
    char name[300];
    FILETIME time;
    for (DWORD index : {0u, 1u}) {
        DWORD size = 299, type = 99;
        LONG expected = index == 0 ? ERROR_SUCCESS : ERROR_MORE_DATA;
        EXPECT_EQ(RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, &time), expected);
        size = 299;
        EXPECT_EQ(RegEnumValueA(key, index, name, &size, nullptr, &type, nullptr, nullptr), expected);
        if (index == 0) {
            EXPECT_EQ(size, 298u);
            EXPECT_EQ(name, fits);
            EXPECT_EQ(type, 3u);
        }
    }
}

TEST_F(RegistryApi, SetStoresTypeAndExactBytesAndKeepsAStoredName)
{
    load("[HKEY_LOCAL_MACHINE\\K]\n\"dmacurrentlyused\"=dword:00000001\n\"Z\"=hex:\n");
    HKEY key = open("K");
    const BYTE one = 1;
    EXPECT_EQ(RegSetValueExA(key, "DMACurrentlyUsed", 0, REG_DWORD, &one, 1), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "New", 0, 0x1234, &one, 1), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Bad", 1, REG_BINARY, &one, 1), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(values(key), (std::vector<std::string>{"dmacurrentlyused", "New", "Z"}));

    const host::Key &k = *registry_.findRoot("HKEY_LOCAL_MACHINE")->findSubkey("K");
    EXPECT_EQ(k.findValue("DMACURRENTLYUSED")->type, REG_DWORD);
    EXPECT_EQ(k.findValue("DMACURRENTLYUSED")->data, host::Bytes{1});
    EXPECT_EQ(k.findValue("new")->type, 0x1234u);
    EXPECT_TRUE(platform_->changed());
}

TEST_F(RegistryApi, StrnicmpFoldsAsciiLettersOnly)
{
    EXPECT_EQ(_strnicmp("nec_____cd-rom_drive:28d_", "NEC_____CD-ROM_DRIVE:28D", 24), 0);
    EXPECT_NE(_strnicmp("\xe9", "\xc9", 1), 0);
    EXPECT_NE(_strnicmp("NEC", "NEC_", 4), 0) << "a shorter name never matches";
    EXPECT_EQ(_strnicmp("anything", "", 0), 0);
    EXPECT_LT(_strnicmp("_", "a", 1), 0);
}

}  // namespace
