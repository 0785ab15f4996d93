// REGEDIT4 text: read into a Registry and written back. A file read and
// written unchanged comes back byte for byte; a changed value is written in
// the form regedit itself would use.
#ifndef PELLIKOR_HOST_REG_FILE_H
#define PELLIKOR_HOST_REG_FILE_H

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "registry.h"

namespace host {

class RegFileError : public std::runtime_error {
public:
    RegFileError(int line, const std::string &what) : std::runtime_error(what), line_(line) {}
    int line() const { return line_; }  // 1-based

private:
    int line_;
};

// Throws RegFileError on the first line that is not REGEDIT4. The registry
// keeps the text, which its layout points into; holder keeps text that lives
// elsewhere alive.
Registry ReadRegFile(std::string text);
Registry ReadRegFile(std::string_view text, std::shared_ptr<const void> holder);

// Hands the file's text to put piece by piece, most of them views of the
// text read, so that a large file is written without a copy of it in memory.
void WriteRegFile(const Registry &registry, const std::function<void(std::string_view)> &put);
std::string WriteRegFile(const Registry &registry);

// One value's line(s) as regedit writes them, ending in lineEnd.
std::string FormatValue(const Value &value, const std::string &lineEnd);

}  // namespace host

#endif
