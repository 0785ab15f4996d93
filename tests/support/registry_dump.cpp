#include "registry_dump.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "reg_file.h"

namespace test {

namespace {

host::Key *Find(const host::Registry &registry, const std::string &path)
{
    host::Key *key = registry.findRoot("HKEY_LOCAL_MACHINE");
    std::size_t start = 0;
    while (key && start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        key = key->findSubkey(path.substr(start, end - start));
        start = end + 1;
    }
    return key;
}

void Dump(const host::Key &key, const std::string &path, std::string &out)
{
    out += "[" + path + "]\n";
    for (std::size_t i = 0; i < key.valueCount(); ++i) {
        const host::Value &value = *key.valueAt(i);
        char head[32];
        std::snprintf(head, sizeof head, "\" %u ", static_cast<unsigned>(value.type));
        out += "\"" + value.name + head;
        for (std::size_t b = 0; b < value.data.size(); ++b) {
            char hex[4];
            std::snprintf(hex, sizeof hex, b ? ",%02x" : "%02x", value.data[b]);
            out += hex;
        }
        out += "\n";
    }
    for (std::size_t i = 0; i < key.subkeyCount(); ++i) {
        const host::Key &subkey = *key.subkeyAt(i);
        Dump(subkey, path + "\\" + subkey.name(), out);
    }
}

}  // namespace

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string DumpBranch(const host::Registry &registry, const std::string &path)
{
    std::string out;
    if (const host::Key *key = Find(registry, path))
        Dump(*key, path, out);
    return out;
}

std::string ExpectedBranch(const std::string &regFile, const std::vector<Write> &writes, const std::string &path)
{
    host::Registry registry = host::ReadRegFile(ReadFile(regFile));
    for (const Write &write : writes) {
        host::Key *key = Find(registry, write.keyPath);
        if (!key)
            throw std::runtime_error("expected write to a key the fixture lacks: " + write.keyPath);
        key->setValue(write.name, write.type, write.data);
    }
    return DumpBranch(registry, path);
}

}  // namespace test
