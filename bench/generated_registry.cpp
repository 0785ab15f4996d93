#include "generated_registry.h"

#include <cstdio>


namespace bench {

namespace {

const char kDrive[] = "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_____CD-ROM_DRIVE:28D";

std::string Numbered(const char *prefix, std::size_t i)
{
    char name[64];
    std::snprintf(name, sizeof name, "%s%08zu", prefix, i);
    return name;
}

// An instance key with the values a Windows 9x machine gives a SCSI device.
void AppendKey(std::string &text, const std::string &path)
{
    text += "\r\n[" + path + "]\r\n"
            "\"Class\"=\"CDROM\"\r\n"
            "\"Driver\"=\"CDROM\\\\0001\"\r\n"
            "\"Mfg\"=\"(Standard CD-ROM drives)\"\r\n"
            "\"HardwareID\"=\"SCSI\\\\DEV_____CD-ROM_DRIVE____10,DEV_____CD-ROM_DRIVE____10,GenCD\"\r\n"
            "\"DeviceDesc\"=\"CD-ROM DRIVE\"\r\n"
            "\"ConfigFlags\"=hex:00,00,00,00\r\n"
            "\"SCSITargetID\"=\"3\"\r\n"
            "\"SCSILUN\"=\"0\"\r\n"
            "\"CurrentDriveLetterAssignment\"=\"E\"\r\n"
            "\"RemovableMedia\"=hex:01\r\n"
            "\"Int13\"=hex:00\r\n"
            "\"DMACurrentlyUsed\"=hex:00\r\n";
}

}  // namespace

// A key with just what the walk looks at: the walk's benchmarks measure the
// walk, not the reading of values it never asks for.
void AppendSmallKey(std::string &text, const std::string &path)
{
    text += "\r\n[" + path + "]\r\n\"Class\"=\"CDROM\"\r\n\"DMACurrentlyUsed\"=hex:00\r\n";
}

std::string DriveWithInstances(std::size_t n)
{
    std::string text = "REGEDIT4\r\n";
    for (std::size_t i = 0; i < n; ++i)
        AppendSmallKey(text, std::string(kDrive) + "\\" + Numbered("PCI&VEN_F00D&DEV_0C01&INSTANCE_", i));
    return text;
}

std::string DeviceKeysBeforeDrive(std::size_t n)
{
    std::string text = "REGEDIT4\r\n";
    for (std::size_t i = 0; i < n; ++i)
        AppendSmallKey(text, "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\" + Numbered("DEV_____DISK_DRIVE_", i) + "\\0000");
    AppendSmallKey(text, std::string(kDrive) + "\\0000");
    return text;
}

std::string RegFileOfSize(std::size_t bytes)
{
    std::string text = "REGEDIT4\r\n";
    for (std::size_t i = 0; text.size() < bytes; ++i)
        AppendKey(text, "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\" + Numbered("DEV_____DISK_DRIVE_", i) + "\\0000");
    AppendKey(text, std::string(kDrive) + "\\0000");
    return text;
}

}  // namespace bench
