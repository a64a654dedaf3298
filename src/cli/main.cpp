#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "filesystem/native_file_system.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    zendrik::NativeFileSystem fs;
    return zendrik::runCli(arguments, fs, std::cout, std::cerr);
}
