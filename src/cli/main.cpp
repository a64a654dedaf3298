#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "filesystem/posix_file_system.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    zendrik::PosixFileSystem fs;
    return zendrik::runCli(arguments, fs, std::cout, std::cerr);
}
