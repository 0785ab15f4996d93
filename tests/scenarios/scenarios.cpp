#include "scenarios.h"

namespace test {

const char kBanner[] = "Pellikor r1.0 (C) 2026 the Pellikor authors";

namespace {

const std::string kDrive = "NEC_____CD-ROM_DRIVE:28D";
const std::string kDriveKey = "Enum\\SCSI\\" + kDrive;
const std::string kFirst = "PCI&VEN_F00D&DEV_0C01&BUS_00&DEV_0D&FUNC_0010";
const std::string kSecond = "PCI&VEN_F00D&DEV_0C01&BUS_00&DEV_0D&FUNC_0030";
const std::string kWithoutValue = "ROOT&SCSI&0000";

const unsigned kBeepAsterisk = 0x40;
const unsigned kBeepDefault = 0x00;
const unsigned kUsageStyle = 0x00010010;    // foreground, stop icon
const unsigned kConfirmStyle = 0x00010040;  // foreground, information icon
const unsigned kTraceStyle = 0x00010000;    // foreground, no icon

enum { kOn = 1, kOff = 0 };

std::vector<Event> operator+(std::vector<Event> a, const std::vector<Event> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Event Trace(const std::string &text, const std::string &caption)
{
    return Box(text, caption, kTraceStyle);
}

const std::vector<Event> kUsage = {
    Beep(kBeepAsterisk),
    Box("            USAGE:\n\nPellikor  ON/OFF  [/V]\n", kBanner, kUsageStyle),
};

std::vector<Event> Confirmation(const std::string &setting)
{
    return {Beep(kBeepDefault),
            Box(std::string(kBanner) + "\nGoing To Set DMACurrentlyUsed To " + setting + "\n", kBanner, kConfirmStyle)};
}

// Stages of the trace, named by what they show.
const Event kBranchOpen = Trace("Enum\\SCSI Open", "VERBOSE - A");
Event DeviceSeen(const std::string &name) { return Trace(name, "VERBOSE - A"); }
Event DeviceFound(const std::string &name) { return Trace(name, "VERBOSE - FOUND KEY"); }
Event InstanceSeen(const std::string &name) { return Trace(name, "VERBOSE - B - Found PCI/PNP KEY"); }
Event ValueFound(const std::string &name) { return Trace(name, "VERBOSE - D - PROCESSING DMA SWITCH"); }

std::vector<Event> DriveFound(const std::string &name)
{
    return {kBranchOpen, DeviceSeen(name), DeviceFound(name)};
}

// scsi.reg: a tape drive before the drive, a disk after it, and three
// instances of the drive: binary, DWORD, and one without the value.
const std::vector<Event> kScsiTrace = {
    kBranchOpen,
    DeviceSeen("MNO_____TAPE_DRIVE______3"),
    DeviceSeen(kDrive),
    DeviceFound(kDrive),
    InstanceSeen(kFirst),
    ValueFound("DMACurrentlyUsed"),
    InstanceSeen(kSecond),
    ValueFound("DMACurrentlyUsed"),
    InstanceSeen(kWithoutValue),
};

std::vector<Write> ScsiWrites(unsigned char setting)
{
    return {
        {kDriveKey + "\\" + kFirst, "DMACurrentlyUsed", 3, {setting}},
        {kDriveKey + "\\" + kSecond, "DMACurrentlyUsed", 4, {setting}},
    };
}

// value-names.reg: one instance a case of how a value name matches.
const std::vector<Event> kValueNamesTrace = DriveFound(kDrive) + std::vector<Event>{
    InstanceSeen("1_LONGER_NAME"),      ValueFound("DMACurrentlyUsedByBios"),
    InstanceSeen("2_LOWER_CASE"),       ValueFound("dmacurrentlyused"),
    InstanceSeen("3_TOO_SHORT"),
    InstanceSeen("4_NAME_OF_298"),      ValueFound("DMACurrentlyUsed"),
    InstanceSeen("5_NAME_OF_299"),
    InstanceSeen("6_TYPE_NONE"),        ValueFound("DMACurrentlyUsed"),
    InstanceSeen("7_FIRST_MATCH_ONLY"), ValueFound("DMACurrentlyUsed"),
};

std::vector<Write> ValueNamesWrites(unsigned char setting)
{
    auto at = [](const std::string &instance) { return kDriveKey + "\\" + instance; };
    return {
        {at("1_LONGER_NAME"), "DMACurrentlyUsed", 4, {setting}},
        {at("2_LOWER_CASE"), "dmacurrentlyused", 3, {setting}},
        {at("4_NAME_OF_298"), "DMACurrentlyUsed", 3, {setting}},
        {at("6_TYPE_NONE"), "DMACurrentlyUsed", 0, {setting}},
        {at("7_FIRST_MATCH_ONLY"), "DMACurrentlyUsed", 3, {setting}},
    };
}

// The command line decides; scsi.reg shows what was decided.
Scenario Usage(const std::string &name, const std::string &line)
{
    return {name, "scsi.reg", line, 1, kUsage, {}};
}

Scenario Switch(const std::string &name, const std::string &line, int setting, bool traced = false)
{
    const std::string word = setting == kOn ? "ON" : "OFF";
    return {name, "scsi.reg", line, 0, traced ? Confirmation(word) + kScsiTrace : std::vector<Event>{},
            ScsiWrites(static_cast<unsigned char>(setting))};
}

std::vector<Scenario> MakeScenarios()
{
    const std::string x252(252, 'x');
    return {
        // The command tail and its keywords.
        Usage("EmptyTail", "Pellikor"),
        Usage("BlanksOnlyTail", "Pellikor   "),
        Usage("TraceAloneIsUsage", "Pellikor /V"),
        Usage("KeywordNeedsBlankBefore", "Pellikor XON"),
        Usage("HyphenBeforeKeyword", "Pellikor -ON"),
        Usage("QuotedKeyword", "Pellikor \"ON\""),
        Usage("TabIsNotBlank", "Pellikor /V\tON"),
        Usage("UnclosedQuoteNameSwallowsTail", "\"Pellikor ON"),
        Usage("KeywordCutAt255", "Pellikor " + x252 + "x ON"),
        Usage("KeywordAfter300", "Pellikor " + std::string(297, 'y') + " ON"),
        Usage("KeywordAfter10000", "Pellikor " + std::string(9997, 'z') + " ON"),
        Usage("LoneQuoteIsTheName", "\""),
        Usage("LoneQuoteInTail", "Pellikor \""),
        Switch("On", "Pellikor ON", kOn),
        Switch("OnLowerCase", "Pellikor on", kOn),
        Switch("OnMixedCase", "Pellikor oN", kOn),
        Switch("Off", "Pellikor OFF", kOff),
        Switch("OffLowerCase", "Pellikor off", kOff),
        Switch("OnWinsAfterOff", "Pellikor OFF ON", kOn),
        Switch("OnWinsBeforeOff", "Pellikor ON OFF", kOn),
        Switch("Onward", "Pellikor ONWARD", kOn),
        Switch("Offline", "Pellikor OFFLINE", kOff),
        Switch("SlashWithoutBlankIsNoTrace", "Pellikor ON/V", kOn),
        Switch("OnTraced", "Pellikor ON /V", kOn, true),
        Switch("OnTracedLowerCase", "Pellikor /v on", kOn, true),
        Switch("OffTraced", "Pellikor OFF /V", kOff, true),
        Switch("TabAfterName", "Pellikor\tON", kOn),
        Switch("BlanksBeforeName", "   Pellikor ON", kOn),
        Switch("QuotedNameThenOn", "\"Pellikor\"ON", kOn),
        Switch("QuotedNameWithBlanks", "\"C:\\Program Files\\Pellikor.exe\" OFF", kOff),
        Switch("TabEndsQuotedName", "\"Pell\tikor\" ON", kOn),
        Switch("Tail255EndsInOn", "Pellikor " + x252 + " ON", kOn),
        Switch("Tail10000StartingWithOff", "Pellikor OFF" + std::string(9997, ' '), kOff),
        Switch("LoneQuoteThenOn", "Pellikor \" ON", kOn),
        Switch("HighBytesStayAsTheyAre", "Pellikor \xe9\xff\x80 off \xe0on", kOff),

        // The registry walk.
        {"FirstMatchingDeviceOnly", "two-drives.reg", "Pellikor ON /V", 0,
         Confirmation("ON") + DriveFound("nec_____cd-rom_drive:28d_") +
             std::vector<Event>{InstanceSeen("0001"), ValueFound("DMACurrentlyUsed")},
         {{"Enum\\SCSI\\nec_____cd-rom_drive:28d_\\0001", "DMACurrentlyUsed", 3, {1}}}},
        {"ValueNamesOn", "value-names.reg", "Pellikor ON /V", 0, Confirmation("ON") + kValueNamesTrace,
         ValueNamesWrites(1)},
        {"ValueNamesOff", "value-names.reg", "Pellikor OFF", 0, {}, ValueNamesWrites(0)},
        {"DeviceWithoutInstances", "empty-device.reg", "Pellikor ON /V", 0, Confirmation("ON") + DriveFound(kDrive),
         {}},
        {"NoDeviceMatches", "no-drive.reg", "Pellikor ON /V", 0,
         Confirmation("ON") + std::vector<Event>{kBranchOpen, DeviceSeen("MNO_____TAPE_DRIVE______3"),
                                                 DeviceSeen("NEC_____CD-ROM_DRIVE:28")},
         {}},
        {"NoScsiBranch", "no-scsi.reg", "Pellikor OFF /V", 0, Confirmation("OFF"), {}},
    };
}

}  // namespace

const std::vector<Scenario> &Scenarios()
{
    static const std::vector<Scenario> scenarios = MakeScenarios();
    return scenarios;
}

std::ostream &operator<<(std::ostream &out, const Scenario &scenario)
{
    return out << scenario.name;
}

}  // namespace test
