#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "filesystem/native_file_system.h"
#ifdef _WIN32
#include <windows.h>

#include "cli/windows_console.h"
#endif

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A closed standard output (`| head`) must not end the run part-way: printing fails,
    // the run goes on, and the exit status says so.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    zendrik::NativeFileSystem fs;
#ifdef _WIN32
    // argv is in the ANSI code page, which cannot hold every name: the wide command line can.
    (void)argc;
    (void)argv;
    zendrik::ConsoleStream out(false, std::cout);
    zendrik::ConsoleStream err(true, std::cerr);
    const auto arguments = zendrik::utf8Arguments(::GetCommandLineW());
    if (!arguments) {
        err.stream() << "zendrik-cli: an argument is not valid Unicode text\n";
        return zendrik::kExitUsage;
    }
    return zendrik::runCli(*arguments, fs, out.stream(), err.stream());
#else
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return zendrik::runCli(arguments, fs, std::cout, std::cerr);
#endif
}
