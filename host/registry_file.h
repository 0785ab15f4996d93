// The .reg file behind the host registry: read under an exclusive lock that
// is held until the process ends, and replaced atomically when saved, so that
// runs at once never lose each other's writes and a failed save loses nothing.
#ifndef PELLIKOR_HOST_REGISTRY_FILE_H
#define PELLIKOR_HOST_REGISTRY_FILE_H

#include <stdexcept>
#include <string>
#include <sys/types.h>

#include "registry.h"

namespace host {

// The file could not be read or is not REGEDIT4; what() names file and line.
class LoadError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The file could not be replaced; it stays as it was.
class SaveError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

class RegistryFile {
public:
    // A missing file is an empty registry. Throws LoadError.
    explicit RegistryFile(std::string path);
    ~RegistryFile();
    RegistryFile(const RegistryFile &) = delete;
    RegistryFile &operator=(const RegistryFile &) = delete;

    Registry &registry() { return registry_; }
    const std::string &path() const { return path_; }

    // Writes a temporary file beside it, flushes it and renames it over the
    // file. Throws SaveError.
    void save();

private:
    void openLocked();

    std::string path_;
    int fd_ = -1;
    bool writable_ = true;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    off_t size_ = 0;
    long long modified_ = 0;  // nanoseconds
    mode_t mode_ = 0644;
    Registry registry_;
};

}  // namespace host

#endif
