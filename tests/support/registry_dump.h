// A registry branch as text, for comparing the registry after a run with
// what it should be: every key in enumeration order, then its values with
// type and bytes. The Wine tests' dumper prints the same form.
#ifndef PELLIKOR_TESTS_REGISTRY_DUMP_H
#define PELLIKOR_TESTS_REGISTRY_DUMP_H

#include <cstdint>
#include <string>
#include <vector>

#include "registry.h"

namespace test {

// One value the program is expected to write.
struct Write {
    std::string keyPath;  // below HKEY_LOCAL_MACHINE
    std::string name;
    std::uint32_t type;
    host::Bytes data;
};

// The branch below HKEY_LOCAL_MACHINE at path ("Enum"); empty when it is absent.
std::string DumpBranch(const host::Registry &registry, const std::string &path);

// The branch as the .reg file gives it, once the writes are made.
std::string ExpectedBranch(const std::string &regFile, const std::vector<Write> &writes, const std::string &path);

std::string ReadFile(const std::string &path);

}  // namespace test

#endif
