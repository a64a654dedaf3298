// The arguments of zendrik-cli: what they ask for, and their checks before anything is
// touched.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/undo_command.h"
#include "filesystem/file_system.h"

namespace zendrik {

// The usage text, printed by --help and after a usage error.
extern const char* const kUsage;

// What the command line asks for (the wizard's switches are Options, in wizard/options.h).
struct CliOptions {
    bool keepIncomplete = false;
    bool copy = false;
    bool dryRun = false;
    std::optional<std::string> logFile;
    std::vector<std::string> folders;
    // Further ini files the game reads (a server's own), each below one of the folders.
    std::vector<std::string> iniFiles;
    UndoRequest undo;
    // --find: print the installations found on this machine, one a line; --find0: each
    // followed by a NUL byte.
    enum class Find { No, Lines, Nul } find = Find::No;
};

// Reads `arguments` into `options`; `help` and `version` tell whether those were asked for.
// Returns an error text for bad usage, or nothing.
std::optional<std::string> parseArguments(const std::vector<std::string>& arguments,
                                          CliOptions& options, bool& help, bool& version);

// Turns each FOLDER of `options` into its installation folder, each --ini FILE into a path
// below its installation folder, and checks the --log file, through `fs`, touching nothing. Returns
// an error text for bad usage, or nothing.
std::optional<std::string> checkArguments(FileSystem& fs, CliOptions& options);

}  // namespace zendrik
