#include "command_line.h"

namespace host {

std::string RawCommandLine(int argc, const char *const *argv)
{
    std::string name = argc > 0 ? argv[0] : "pellikor";
    std::string line = name.find_first_of(" \t") == std::string::npos ? name : "\"" + name + "\"";
    for (int i = 1; i < argc; ++i) {
        line += ' ';
        line += argv[i];
    }
    return line;
}

}  // namespace host
