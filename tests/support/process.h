// Running a program as its own process, as the tests run the host program.
#ifndef PELLIKOR_TESTS_PROCESS_H
#define PELLIKOR_TESTS_PROCESS_H

#include <map>
#include <string>
#include <vector>

namespace test {

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs argv with standard input from /dev/null and the environment given on
// top of this process's own.
ProcessResult RunProcess(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env);

// A fresh folder, removed with all it holds.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return path_; }
    std::string operator/(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string &path, const std::string &data);

}  // namespace test

#endif
