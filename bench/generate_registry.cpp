// Writes a REGEDIT4 file of about the given size, the drive near the end.
//   generate_registry MEGABYTES FILE
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "generated_registry.h"

int main(int argc, char **argv)
{
    if (argc != 3 || std::atol(argv[1]) <= 0) {
        std::fprintf(stderr, "usage: generate_registry MEGABYTES FILE\n");
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << bench::RegFileOfSize(static_cast<std::size_t>(std::atol(argv[1])) << 20);
    if (!out.flush()) {
        std::fprintf(stderr, "generate_registry: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
