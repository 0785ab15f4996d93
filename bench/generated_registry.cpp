#include "generated_registry.h"

#include <cstdio>

#include "reg_file.h"

namespace bench {

namespace {

const char kDrive[] = "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_____CD-ROM_DRIVE:28D";

std::string Numbered(const char *prefix, std::size_t i)
{
    char name[64];
    std::snprintf(name, sizeof name, "%s%08zu", prefix, i);
    return name;
}

// A device or instance key as a Windows 9x machine holds it.
void AppendKey(std::string &text, const std::string &path, bool dma)
{
    text += "\r\n[" + path + "]\r\n";
    text += "\"Class\"=\"CDROM\"\r\n\"DeviceDesc\"=\"CD-ROM DRIVE\"\r\n\"SCSITargetID\"=\"3\"\r\n";
    if (dma)
        text += "\"DMACurrentlyUsed\"=hex:00\r\n";
}

}  // namespace

host::Registry DriveWithInstances(std::size_t n)
{
    std::string text = "REGEDIT4\r\n";
    for (std::size_t i = 0; i < n; ++i)
        AppendKey(text, std::string(kDrive) + "\\" + Numbered("PCI&VEN_F00D&DEV_0C01&INSTANCE_", i), true);
    return host::ReadRegFile(text);
}

host::Registry DeviceKeysBeforeDrive(std::size_t n)
{
    std::string text = "REGEDIT4\r\n";
    for (std::size_t i = 0; i < n; ++i)
        AppendKey(text, "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\" + Numbered("DEV_____DISK_DRIVE_", i) + "\\0000", true);
    AppendKey(text, std::string(kDrive) + "\\0000", true);
    return host::ReadRegFile(text);
}

std::string RegFileOfSize(std::size_t bytes)
{
    std::string text = "REGEDIT4\r\n";
    for (std::size_t i = 0; text.size() < bytes; ++i)
        AppendKey(text, "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\" + Numbered("DEV_____DISK_DRIVE_", i) + "\\0000", true);
    AppendKey(text, std::string(kDrive) + "\\0000", true);
    return text;
}

}  // namespace bench
