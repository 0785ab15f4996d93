// Registries of a chosen size for the benchmarks.
#ifndef PELLIKOR_BENCH_GENERATED_REGISTRY_H
#define PELLIKOR_BENCH_GENERATED_REGISTRY_H

#include <cstddef>
#include <string>


namespace bench {

// The .reg text of the drive with n instance keys, each holding DMACurrentlyUsed.
std::string DriveWithInstances(std::size_t n);
// The .reg text of n device keys under Enum\SCSI that sort before the drive,
// which has one instance.
std::string DeviceKeysBeforeDrive(std::size_t n);
// REGEDIT4 text of about the given size: device keys with a few values each,
// and the drive near the end.
std::string RegFileOfSize(std::size_t bytes);

}  // namespace bench

#endif
