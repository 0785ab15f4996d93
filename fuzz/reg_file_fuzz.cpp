// Fuzzes the .reg reader: any bytes either fail with a line number or read
// into a registry that writes back as exactly the same bytes.
#include <cstdlib>
#include <string>

#include "reg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    host::Registry registry;
    try {
        registry = host::ReadRegFile(text);
    } catch (const host::RegFileError &e) {
        if (e.line() < 1)
            std::abort();
        return 0;
    }
    if (host::WriteRegFile(registry) != text)
        std::abort();
    return 0;
}
