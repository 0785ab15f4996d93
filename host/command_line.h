#ifndef PELLIKOR_HOST_COMMAND_LINE_H
#define PELLIKOR_HOST_COMMAND_LINE_H

#include <string>

namespace host {

// The raw process command line that Windows would hold for these arguments:
// the program's name, quoted when it holds a blank or tab, then each
// argument as given, one blank before each.
std::string RawCommandLine(int argc, const char *const *argv);

}  // namespace host

#endif
