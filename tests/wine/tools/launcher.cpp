// Starts a program with an exact raw command line, read from a file, so that
// leading blanks, tabs and quotes arrive as written. Prints the child's
// process id (as Wine's traces show it) and ends with the child's exit code.
//   launcher.exe PROGRAM LINE-FILE
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: launcher PROGRAM LINE-FILE\n");
        return 200;
    }
    std::FILE *file = std::fopen(argv[2], "rb");
    if (!file) {
        std::fprintf(stderr, "launcher: cannot read %s\n", argv[2]);
        return 201;
    }
    std::string line;
    for (int c; (c = std::fgetc(file)) != EOF;)
        line += static_cast<char>(c);
    std::fclose(file);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(argv[1], &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "launcher: cannot start %s: error %lu\n", argv[1], GetLastError());
        return 202;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    std::printf("pid %04lx\n", process.dwProcessId);
    std::fflush(stdout);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 203;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
