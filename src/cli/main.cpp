#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "filesystem/native_file_system.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A closed standard output (`| head`) must not end the run part-way: printing fails,
    // the run goes on, and the exit status says so.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::vector<std::string> arguments(argv + 1, argv + argc);
    zendrik::NativeFileSystem fs;
    return zendrik::runCli(arguments, fs, std::cout, std::cerr);
}
