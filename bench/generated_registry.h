// Registries of a chosen size for the benchmarks.
#ifndef PELLIKOR_BENCH_GENERATED_REGISTRY_H
#define PELLIKOR_BENCH_GENERATED_REGISTRY_H

#include <cstddef>
#include <string>

#include "registry.h"

namespace bench {

// The drive with n instance keys, each holding DMACurrentlyUsed.
host::Registry DriveWithInstances(std::size_t n);
// n device keys under Enum\SCSI that sort before the drive, which has one instance.
host::Registry DeviceKeysBeforeDrive(std::size_t n);
// REGEDIT4 text of about the given size: device keys with a few values each,
// and the drive near the end.
std::string RegFileOfSize(std::size_t bytes);

}  // namespace bench

#endif
