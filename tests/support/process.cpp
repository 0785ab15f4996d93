#include "process.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "registry_dump.h"

extern char **environ;

namespace test {

Process::Process(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env,
                 const std::string &errFile)
    : capture_(std::make_unique<TempDir>()), errFile_(errFile.empty() ? *capture_ / "err" : errFile)
{
    std::map<std::string, std::string> merged;
    for (char **e = environ; *e; ++e) {
        std::string entry = *e;
        std::size_t eq = entry.find('=');
        if (eq != std::string::npos)
            merged[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto &[name, value] : env)
        merged[name] = value;

    std::vector<std::string> envStrings;
    for (const auto &[name, value] : merged)
        envStrings.push_back(name + "=" + value);
    std::vector<char *> envp, args;
    for (std::string &s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (std::string &s : argCopy)
        args.push_back(s.data());
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (*capture_ / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + argv[0]);
    pid_ = pid;
}

Process::~Process()
{
    kill();
}

void Process::kill()
{
    if (pid_ > 0 && status_ < 0) {
        ::kill(pid_, SIGKILL);
        int wstatus;
        if (waitpid(pid_, &wstatus, 0) == pid_)
            status_ = 128 + SIGKILL;
    }
}

bool Process::running()
{
    if (status_ >= 0)
        return false;
    int wstatus;
    if (waitpid(pid_, &wstatus, WNOHANG) != pid_)
        return true;
    status_ = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    return false;
}

ProcessResult Process::wait()
{
    int wstatus = 0;
    while (status_ < 0) {
        if (waitpid(pid_, &wstatus, 0) == pid_)
            status_ = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
        else if (errno != EINTR)
            throw std::runtime_error("cannot wait for a child process");
    }
    ProcessResult result;
    result.status = status_;
    result.out = ReadFile(*capture_ / "out");
    result.err = ReadFile(errFile_);
    return result;
}

ProcessResult RunProcess(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env)
{
    return Process(argv, env).wait();
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "pellikor-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempDir::files() const
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Fixture(const std::string &name)
{
    return std::string(PELLIKOR_FIXTURES) + "/" + name;
}

void WriteFile(const std::string &path, const std::string &data)
{
    std::ofstream out(path, std::ios::binary);
    out << data;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

}  // namespace test
