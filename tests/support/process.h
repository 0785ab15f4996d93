// Running a program as its own process, as the tests run the host program.
#ifndef PELLIKOR_TESTS_PROCESS_H
#define PELLIKOR_TESTS_PROCESS_H

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace test {

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// A fresh folder, removed with all it holds.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return path_; }
    std::string operator/(const std::string &name) const { return path_ + "/" + name; }
    std::vector<std::string> files() const;  // the names in it, sorted

private:
    std::string path_;
};

// A program started with standard input from /dev/null and the environment
// given on top of this process's own; its output is kept until it ends.
class Process {
public:
    // errFile: where standard error goes, for reading while it runs; empty:
    // kept with the output.
    Process(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env,
            const std::string &errFile = "");
    ~Process();
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;

    bool running();
    ProcessResult wait();
    void kill();
    int pid() const { return pid_; }

private:
    std::unique_ptr<TempDir> capture_;
    int pid_ = -1;
    std::string errFile_;
    int status_ = -1;
};

ProcessResult RunProcess(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env);

void WriteFile(const std::string &path, const std::string &data);

// The path of a file of tests/fixtures.
std::string Fixture(const std::string &name);

}  // namespace test

#endif
